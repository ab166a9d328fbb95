#pragma once

#include "qr/detail/ec_level.h"

#include <array>

namespace qr::detail {

/// A run of Reed-Solomon blocks of one size.
struct BlockRun {
    int count = 0;
    int dataCodewords = 0;
};

/// The block structure of one version at one level.
struct EcLayout {
    int ecPerBlock = 0;
    std::array<BlockRun, 2> runs{}; // a second run with count 0 is absent

    constexpr int numBlocks() const { return runs[0].count + runs[1].count; }
    constexpr int totalEc() const { return ecPerBlock * numBlocks(); }
    constexpr int totalCodewords() const {
        return runs[0].count * (runs[0].dataCodewords + ecPerBlock) +
               runs[1].count * (runs[1].dataCodewords + ecPerBlock);
    }
    constexpr int dataCodewords() const { return totalCodewords() - totalEc(); }
};

/// One of the forty versions: its layouts for L, M, Q, H and its codeword count.
struct QrVersion {
    int number = 0;
    std::array<EcLayout, 4> layouts{};
    int totalCodewords = 0;

    constexpr int dimension() const { return 17 + 4 * number; }
    constexpr const EcLayout& layoutFor(const EcLevel& level) const { return layouts[level.ordinal - 1]; }
};

namespace versiontable {

constexpr EcLayout layout(int ec, int count1, int data1, int count2 = 0, int data2 = 0) {
    return EcLayout{ec, {BlockRun{count1, data1}, BlockRun{count2, data2}}};
}

constexpr QrVersion version(int number, EcLayout l, EcLayout m, EcLayout q, EcLayout h) {
    return QrVersion{number, {l, m, q, h}, l.totalCodewords()};
}

// Error-correction block structure of every version, levels L, M, Q, H.
inline constexpr std::array<QrVersion, 40> kVersions{{
    version(1, layout(7, 1, 19), layout(10, 1, 16), layout(13, 1, 13), layout(17, 1, 9)),
    version(2, layout(10, 1, 34), layout(16, 1, 28), layout(22, 1, 22), layout(28, 1, 16)),
    version(3, layout(15, 1, 55), layout(26, 1, 44), layout(18, 2, 17), layout(22, 2, 13)),
    version(4, layout(20, 1, 80), layout(18, 2, 32), layout(26, 2, 24), layout(16, 4, 9)),
    version(5, layout(26, 1, 108), layout(24, 2, 43), layout(18, 2, 15, 2, 16), layout(22, 2, 11, 2, 12)),
    version(6, layout(18, 2, 68), layout(16, 4, 27), layout(24, 4, 19), layout(28, 4, 15)),
    version(7, layout(20, 2, 78), layout(18, 4, 31), layout(18, 2, 14, 4, 15), layout(26, 4, 13, 1, 14)),
    version(8, layout(24, 2, 97), layout(22, 2, 38, 2, 39), layout(22, 4, 18, 2, 19),
            layout(26, 4, 14, 2, 15)),
    version(9, layout(30, 2, 116), layout(22, 3, 36, 2, 37), layout(20, 4, 16, 4, 17),
            layout(24, 4, 12, 4, 13)),
    version(10, layout(18, 2, 68, 2, 69), layout(26, 4, 43, 1, 44), layout(24, 6, 19, 2, 20),
            layout(28, 6, 15, 2, 16)),
    version(11, layout(20, 4, 81), layout(30, 1, 50, 4, 51), layout(28, 4, 22, 4, 23),
            layout(24, 3, 12, 8, 13)),
    version(12, layout(24, 2, 92, 2, 93), layout(22, 6, 36, 2, 37), layout(26, 4, 20, 6, 21),
            layout(28, 7, 14, 4, 15)),
    version(13, layout(26, 4, 107), layout(22, 8, 37, 1, 38), layout(24, 8, 20, 4, 21),
            layout(22, 12, 11, 4, 12)),
    version(14, layout(30, 3, 115, 1, 116), layout(24, 4, 40, 5, 41), layout(20, 11, 16, 5, 17),
            layout(24, 11, 12, 5, 13)),
    version(15, layout(22, 5, 87, 1, 88), layout(24, 5, 41, 5, 42), layout(30, 5, 24, 7, 25),
            layout(24, 11, 12, 7, 13)),
    version(16, layout(24, 5, 98, 1, 99), layout(28, 7, 45, 3, 46), layout(24, 15, 19, 2, 20),
            layout(30, 3, 15, 13, 16)),
    version(17, layout(28, 1, 107, 5, 108), layout(28, 10, 46, 1, 47), layout(28, 1, 22, 15, 23),
            layout(28, 2, 14, 17, 15)),
    version(18, layout(30, 5, 120, 1, 121), layout(26, 9, 43, 4, 44), layout(28, 17, 22, 1, 23),
            layout(28, 2, 14, 19, 15)),
    version(19, layout(28, 3, 113, 4, 114), layout(26, 3, 44, 11, 45), layout(26, 17, 21, 4, 22),
            layout(26, 9, 13, 16, 14)),
    version(20, layout(28, 3, 107, 5, 108), layout(26, 3, 41, 13, 42), layout(30, 15, 24, 5, 25),
            layout(28, 15, 15, 10, 16)),
    version(21, layout(28, 4, 116, 4, 117), layout(26, 17, 42), layout(28, 17, 22, 6, 23),
            layout(30, 19, 16, 6, 17)),
    version(22, layout(28, 2, 111, 7, 112), layout(28, 17, 46), layout(30, 7, 24, 16, 25),
            layout(24, 34, 13)),
    version(23, layout(30, 4, 121, 5, 122), layout(28, 4, 47, 14, 48), layout(30, 11, 24, 14, 25),
            layout(30, 16, 15, 14, 16)),
    version(24, layout(30, 6, 117, 4, 118), layout(28, 6, 45, 14, 46), layout(30, 11, 24, 16, 25),
            layout(30, 30, 16, 2, 17)),
    version(25, layout(26, 8, 106, 4, 107), layout(28, 8, 47, 13, 48), layout(30, 7, 24, 22, 25),
            layout(30, 22, 15, 13, 16)),
    version(26, layout(28, 10, 114, 2, 115), layout(28, 19, 46, 4, 47), layout(28, 28, 22, 6, 23),
            layout(30, 33, 16, 4, 17)),
    version(27, layout(30, 8, 122, 4, 123), layout(28, 22, 45, 3, 46), layout(30, 8, 23, 26, 24),
            layout(30, 12, 15, 28, 16)),
    version(28, layout(30, 3, 117, 10, 118), layout(28, 3, 45, 23, 46), layout(30, 4, 24, 31, 25),
            layout(30, 11, 15, 31, 16)),
    version(29, layout(30, 7, 116, 7, 117), layout(28, 21, 45, 7, 46), layout(30, 1, 23, 37, 24),
            layout(30, 19, 15, 26, 16)),
    version(30, layout(30, 5, 115, 10, 116), layout(28, 19, 47, 10, 48), layout(30, 15, 24, 25, 25),
            layout(30, 23, 15, 25, 16)),
    version(31, layout(30, 13, 115, 3, 116), layout(28, 2, 46, 29, 47), layout(30, 42, 24, 1, 25),
            layout(30, 23, 15, 28, 16)),
    version(32, layout(30, 17, 115), layout(28, 10, 46, 23, 47), layout(30, 10, 24, 35, 25),
            layout(30, 19, 15, 35, 16)),
    version(33, layout(30, 17, 115, 1, 116), layout(28, 14, 46, 21, 47), layout(30, 29, 24, 19, 25),
            layout(30, 11, 15, 46, 16)),
    version(34, layout(30, 13, 115, 6, 116), layout(28, 14, 46, 23, 47), layout(30, 44, 24, 7, 25),
            layout(30, 59, 16, 1, 17)),
    version(35, layout(30, 12, 121, 7, 122), layout(28, 12, 47, 26, 48), layout(30, 39, 24, 14, 25),
            layout(30, 22, 15, 41, 16)),
    version(36, layout(30, 6, 121, 14, 122), layout(28, 6, 47, 34, 48), layout(30, 46, 24, 10, 25),
            layout(30, 2, 15, 64, 16)),
    version(37, layout(30, 17, 122, 4, 123), layout(28, 29, 46, 14, 47), layout(30, 49, 24, 10, 25),
            layout(30, 24, 15, 46, 16)),
    version(38, layout(30, 4, 122, 18, 123), layout(28, 13, 46, 32, 47), layout(30, 48, 24, 14, 25),
            layout(30, 42, 15, 32, 16)),
    version(39, layout(30, 20, 117, 4, 118), layout(28, 40, 47, 7, 48), layout(30, 43, 24, 22, 25),
            layout(30, 10, 15, 67, 16)),
    version(40, layout(30, 19, 118, 6, 119), layout(28, 18, 47, 31, 48), layout(30, 34, 24, 34, 25),
            layout(30, 20, 15, 61, 16)),
}};

/// Codewords a version's geometry leaves for data and error correction: all modules minus the
/// finder, separator, timing and alignment patterns, the format and version information and the
/// dark module, divided into whole bytes. An independent check of the block table above.
constexpr int codewordsFromGeometry(int number) {
    int modules = (16 * number + 128) * number + 64;
    if (number >= 2) {
        const int alignmentPerSide = number / 7 + 2;
        modules -= (25 * alignmentPerSide - 10) * alignmentPerSide - 55;
        if (number >= 7)
            modules -= 36;
    }
    return modules / 8;
}

constexpr bool tableIsConsistent() {
    for (int index = 0; index < 40; ++index) {
        const QrVersion& entry = kVersions[index];
        if (entry.number != index + 1)
            return false;
        if (entry.totalCodewords != codewordsFromGeometry(entry.number))
            return false;
        for (const EcLayout& layout : entry.layouts) {
            if (layout.totalCodewords() != entry.totalCodewords)
                return false;
            // The block sizes must also follow from the three totals the interleaver derives them from.
            const int blocks = layout.numBlocks();
            const int longBlocks = entry.totalCodewords % blocks;
            if (longBlocks != layout.runs[1].count)
                return false;
            if (layout.runs[0].dataCodewords != layout.dataCodewords() / blocks)
                return false;
            if (longBlocks > 0 && layout.runs[1].dataCodewords != layout.runs[0].dataCodewords + 1)
                return false;
        }
    }
    return true;
}

static_assert(tableIsConsistent(), "the block table disagrees with the symbol geometry");
static_assert(kVersions[4].totalCodewords == 134 && kVersions[39].totalCodewords == 3706);

} // namespace versiontable

inline constexpr const std::array<QrVersion, 40>& kVersionTable = versiontable::kVersions;

} // namespace qr::detail
