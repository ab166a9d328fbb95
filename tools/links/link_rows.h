#pragma once

#include "tools/links/marketplace.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace links {

/// Where one ID lies in its text.
struct IdSpan {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
};

/// The decoded (UTF-8) text of one ID file and where each ID lies in it. Built once, then only shared:
/// a million IDs cost their bytes plus eight bytes each, not a string object per row.
struct IdText {
    std::string text;
    std::vector<IdSpan> spans;

    std::string_view id(std::size_t index) const {
        const IdSpan span = spans[index];
        return std::string_view(text).substr(span.offset, span.length);
    }
};

/// A run of consecutive IDs of one text.
struct IdBlock {
    std::shared_ptr<const IdText> source;
    std::size_t first = 0;
    std::size_t count = 0;
};

/// IDs in list order. A copy shares the texts and never changes with the original, so copying is a
/// cheap snapshot of the list.
class IdRows {
public:
    IdRows() = default;
    /// All IDs of one text.
    explicit IdRows(std::shared_ptr<const IdText> whole);

    /// Appends a block after the last row (joins it to the last block when it continues it).
    void append(IdBlock block);

    std::size_t size() const { return m_ends.empty() ? 0 : m_ends.back(); }
    bool empty() const { return size() == 0; }
    /// The ID of `row`; `row` must be below size().
    std::string_view id(std::size_t row) const;

    /// Calls visit(id) for each row in order; cheaper than id(row) for a whole pass.
    template <class Visit> void forEach(Visit&& visit) const {
        for (const IdBlock& block : m_blocks)
            for (std::size_t index = block.first; index < block.first + block.count; ++index)
                visit(block.source->id(index));
    }

private:
    std::vector<IdBlock> m_blocks;
    std::vector<std::size_t> m_ends; // number of rows up to and including each block
};

/// The list: IDs and the template their links were made with. The links are built when asked for, so
/// they always match the template of the import that produced the rows.
struct LinkRows {
    IdRows ids;
    LinkTemplate link;

    std::size_t size() const { return ids.size(); }
    bool empty() const { return ids.empty(); }
    std::string linkAt(std::size_t row) const { return link.linkFor(ids.id(row)); }
};

} // namespace links
