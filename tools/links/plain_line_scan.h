#pragma once

#include "tools/links/line_end_table.h"

#include <cstddef>

namespace links {

/// Ways to find the line feeds of plain text; each gives the same result.
enum class PlainScanKind {
    Bytewise, // finds nothing on its own: the caller's byte loop does the work
    Sse2,
    Avx2,   // with BMI1, on processors that have them
    Avx512, // with BW and VBMI2 (and POPCNT), idem
};

/// The quickest kind this processor runs.
PlainScanKind quickestPlainScan();

/// Records the line feeds of consecutive 64-byte blocks of text[from, limit) for as long as each block
/// is plain (no zero byte and no byte above 0x7F). Returns where it stopped: at the first block that is
/// not plain or would reach past `limit`. ID files are plain almost everywhere, so this is where an
/// import spends most of its time.
std::size_t notePlainBlocks(const unsigned char* text, std::size_t from, std::size_t limit,
                            LineEndTable& ends, PlainScanKind kind = quickestPlainScan());

} // namespace links
