#include "qr/detail/byte_matrix.h"

#include <algorithm>

namespace qr::detail {

void ByteMatrix::init(int width, int height) {
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_cells.assign(static_cast<std::size_t>(m_width) * m_height, 0);
}

void ByteMatrix::fillCells(std::uint8_t value) {
    std::fill(m_cells.begin(), m_cells.end(), value);
}

std::vector<std::vector<std::uint8_t>> ByteMatrix::getCells() const {
    std::vector<std::vector<std::uint8_t>> rows(static_cast<std::size_t>(m_height));
    for (int y = 0; y < m_height; ++y) {
        const auto begin = m_cells.begin() + static_cast<std::ptrdiff_t>(y) * m_width;
        rows[y].assign(begin, begin + m_width);
    }
    return rows;
}

Status ByteMatrix::setCells(const std::vector<std::vector<std::uint8_t>>& rows) {
    if (rows.empty() || rows.front().empty())
        return makeReport(kClassName, "置字节矩阵", "不是矩阵");
    // Rows longer or more numerous than the matrix are cut to it rather than written past its end.
    const int rowCount = std::min<int>(static_cast<int>(rows.size()), m_height);
    for (int y = 0; y < rowCount; ++y) {
        const int columnCount = std::min<int>(static_cast<int>(rows[y].size()), m_width);
        for (int x = 0; x < columnCount; ++x)
            set(x, y, rows[y][x]);
    }
    return {};
}

} // namespace qr::detail
