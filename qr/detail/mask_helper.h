#pragma once

#include "qr/detail/byte_matrix.h"
#include "qr/detail/result.h"

#include <string_view>

namespace qr::detail {

/// The eight data masks and the four penalty rules that choose between them.
class MaskHelper {
public:
    static constexpr std::string_view kClassName = "掩码辅助类";

    /// Whether mask `mask` inverts the module in column x, row y.
    static Result<bool> dataMaskBit(int mask, int x, int y);
    /// The same for a mask already known to be 0-7.
    static constexpr bool maskBit(int mask, int x, int y) {
        switch (mask) {
        case 0:
            return ((x + y) & 1) == 0;
        case 1:
            return (y & 1) == 0;
        case 2:
            return x % 3 == 0;
        case 3:
            return (x + y) % 3 == 0;
        case 4:
            return (((static_cast<unsigned>(y) >> 1) + static_cast<unsigned>(x / 3)) & 1u) == 0;
        case 5:
            return ((x * y) & 1) + (x * y) % 3 == 0;
        case 6:
            return ((((x * y) & 1) + (x * y) % 3) & 1) == 0;
        default:
            return ((((x * y) % 3) + ((x + y) & 1)) & 1) == 0;
        }
    }

    /// Rule 1: runs of five or more equal modules in a row or column, 3 + (length - 5) each.
    static int penaltyRuns(const ByteMatrix& matrix);
    static int penaltyRunsOneWay(const ByteMatrix& matrix, bool horizontal);
    /// Rule 2: 3 for every 2 x 2 block of one colour, overlapping blocks counted each.
    static int penaltyBlocks(const ByteMatrix& matrix);
    /// Rule 3: 40 for every 1:1:3:1:1 pattern with four light modules inside the symbol on one side.
    static int penaltyFinderLike(const ByteMatrix& matrix);
    /// Rule 4: 10 for every full 5 percentage points the dark share is away from one half.
    static int penaltyBalance(const ByteMatrix& matrix);
};

} // namespace qr::detail
