#include "tools/links/link_rows.h"

#include <algorithm>
#include <utility>

namespace links {

IdRows::IdRows(std::shared_ptr<const IdText> whole) {
    const std::size_t count = whole ? whole->size() : 0;
    append(IdBlock{std::move(whole), 0, count});
}

void IdRows::append(IdBlock block) {
    if (!block.source || block.count == 0)
        return;
    if (!m_blocks.empty()) {
        IdBlock& last = m_blocks.back();
        if (last.source == block.source && last.first + last.count == block.first) {
            last.count += block.count;
            m_ends.back() += block.count;
            return;
        }
    }
    const std::size_t end = size() + block.count;
    m_blocks.push_back(std::move(block));
    m_ends.push_back(end);
}

std::string_view IdRows::id(std::size_t row) const {
    const auto found = std::upper_bound(m_ends.begin(), m_ends.end(), row);
    const auto index = static_cast<std::size_t>(found - m_ends.begin());
    const std::size_t blockStart = index == 0 ? 0 : m_ends[index - 1];
    const IdBlock& block = m_blocks[index];
    return block.source->id(block.first + (row - blockStart));
}

} // namespace links
