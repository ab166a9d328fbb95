#pragma once

#include "tools/links/marketplace.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace links {

/// An allocator that leaves new elements of a vector uninitialised on resize: a line table is sized
/// ahead of the scan that fills it, and zeroing it first would cost a tenth of an import.
template <class T> struct UninitialisedAllocator : std::allocator<T> {
    template <class U> struct rebind { using other = UninitialisedAllocator<U>; };
    UninitialisedAllocator() = default;
    template <class U> UninitialisedAllocator(const UninitialisedAllocator<U>&) noexcept {}

    template <class U> void construct(U* place) noexcept(std::is_nothrow_default_constructible_v<U>) {
        ::new (static_cast<void*>(place)) U;
    }
    template <class U, class... Arguments> void construct(U* place, Arguments&&... arguments) {
        ::new (static_cast<void*>(place)) U(std::forward<Arguments>(arguments)...);
    }
};

/// Where each line of a text ends.
using LineEnds = std::vector<std::uint32_t, UninitialisedAllocator<std::uint32_t>>;

/// The decoded (UTF-8) text of one ID file and where each of its lines ends. Built once, then only
/// shared: a million IDs cost their bytes plus four bytes each, not a string object per row.
struct IdText {
    std::string text;
    /// Where the first line starts (past a byte-order mark); every later line starts just after the
    /// end of the line before it.
    std::uint32_t firstLineStart = 0;
    /// Where each line ends: at its line feed, or at the end of the text. A CR just before that end
    /// is part of the line end, not of the ID.
    LineEnds lineEnds;

    std::size_t size() const { return lineEnds.size(); }

    std::string_view id(std::size_t index) const {
        const std::size_t begin = index == 0 ? firstLineStart : lineEnds[index - 1] + std::size_t{1};
        std::size_t end = lineEnds[index];
        if (end > begin && text[end - 1] == '\r')
            --end;
        return std::string_view(text).substr(begin, end - begin);
    }

    /// Appends an ID (holding no line feed and not ending in a CR) as a line of its own.
    void addLine(std::string_view id) {
        text += id;
        lineEnds.push_back(static_cast<std::uint32_t>(text.size()));
        text += '\n';
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
