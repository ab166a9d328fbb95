#pragma once

#include "tools/links/link_rows.h"

#include <cstddef>
#include <cstdint>

namespace links {

/// The line ends of a text as a scan finds them, kept in a vector that is sized ahead of the scan
/// (without being zeroed) so that recording an end is a plain store. The vector holds count() ends, then
/// room; close() drops the room.
class LineEndTable {
public:
    explicit LineEndTable(LineEnds& ends) : m_ends(ends) { m_ends.clear(); }

    std::size_t count() const { return m_count; }
    std::uint32_t last() const { return m_ends[m_count - 1]; }

    /// Makes room for `lines` more ends past count().
    void makeRoom(std::size_t lines) {
        if (m_count + lines > m_ends.size())
            grow(lines);
    }
    /// Where the next end goes; room must have been made for what is written there.
    std::uint32_t* next() { return m_ends.data() + m_count; }
    /// Counts `lines` ends written at next().
    void advance(std::size_t lines) { m_count += lines; }
    void add(std::uint32_t end) {
        makeRoom(1);
        m_ends[m_count++] = end;
    }

    void close() { m_ends.resize(m_count); }

private:
    void grow(std::size_t lines);

    LineEnds& m_ends;
    std::size_t m_count = 0;
};

} // namespace links
