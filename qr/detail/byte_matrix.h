#pragma once

#include "qr/detail/result.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace qr::detail {

/// A grid of byte cells, row-major; cell (x, y) is column x of row y.
/// In a symbol 0 is a light module, 1 a dark one and 255 a cell not yet placed.
class ByteMatrix {
public:
    static constexpr std::string_view kClassName = "字节矩阵类";
    static constexpr std::uint8_t kEmpty = 255;

    ByteMatrix() = default;
    ByteMatrix(int width, int height) { init(width, height); }

    int width() const { return m_width; }
    int height() const { return m_height; }

    /// Replaces the cells by width x height zeros.
    void init(int width, int height);
    std::uint8_t get(int x, int y) const { return m_cells[static_cast<std::size_t>(y) * m_width + x]; }
    void set(int x, int y, std::uint8_t value) { m_cells[static_cast<std::size_t>(y) * m_width + x] = value; }
    void fillCells(std::uint8_t value = 0);

    /// A copy of the cells, one vector per row.
    std::vector<std::vector<std::uint8_t>> getCells() const;
    /// Copies a smaller or equal array into the top-left cells; an array without rows or columns is a fault.
    Status setCells(const std::vector<std::vector<std::uint8_t>>& rows);

    /// The cells row after row, for the passes that read the whole symbol.
    const std::vector<std::uint8_t>& data() const { return m_cells; }
    std::vector<std::uint8_t>& data() { return m_cells; }

    bool operator==(const ByteMatrix&) const = default;

private:
    std::vector<std::uint8_t> m_cells;
    int m_width = 0;
    int m_height = 0;
};

} // namespace qr::detail
