#include "qr/detail/mask_helper.h"

#include "qr/detail/qr_code.h"

#include <cstdint>
#include <cstdlib>

namespace qr::detail {

Result<bool> MaskHelper::dataMaskBit(int mask, int x, int y) {
    if (!QrCode::maskInRange(mask))
        return makeReport(kClassName, "取数据掩码位", "掩图无效。");
    return maskBit(mask, x, y);
}

int MaskHelper::penaltyRuns(const ByteMatrix& matrix) {
    return penaltyRunsOneWay(matrix, true) + penaltyRunsOneWay(matrix, false);
}

int MaskHelper::penaltyRunsOneWay(const ByteMatrix& matrix, bool horizontal) {
    const std::uint8_t* cells = matrix.data().data();
    const int width = matrix.width();
    const int outerLimit = horizontal ? matrix.height() : width;
    const int innerLimit = horizontal ? width : matrix.height();
    const std::ptrdiff_t outerStep = horizontal ? width : 1;
    const std::ptrdiff_t innerStep = horizontal ? 1 : width;
    int penalty = 0;
    for (int i = 0; i < outerLimit; ++i) {
        const std::uint8_t* line = cells + i * outerStep;
        int run = 0;
        int previous = -1;
        for (int j = 0; j < innerLimit; ++j) {
            const int bit = line[j * innerStep];
            if (bit == previous) {
                ++run;
                if (run == 5) {
                    penalty += 3;
                } else if (run > 5) {
                    ++penalty;
                }
            } else {
                run = 1;
                previous = bit;
            }
        }
        // A run never continues into the next line.
        previous = -1;
    }
    return penalty;
}

int MaskHelper::penaltyBlocks(const ByteMatrix& matrix) {
    const std::uint8_t* cells = matrix.data().data();
    const int width = matrix.width();
    int penalty = 0;
    for (int y = 0; y + 1 < matrix.height(); ++y) {
        const std::uint8_t* row = cells + static_cast<std::ptrdiff_t>(y) * width;
        const std::uint8_t* next = row + width;
        for (int x = 0; x + 1 < width; ++x) {
            const std::uint8_t value = row[x];
            if (value == row[x + 1] && value == next[x] && value == next[x + 1])
                penalty += 3;
        }
    }
    return penalty;
}

namespace {

// 1 0 1 1 1 0 1 starting at `start`, stepping by `step`, with four light cells after or before it
// that lie inside the line of `length` cells (position is the pattern's index within the line).
bool finderLikeAt(const std::uint8_t* start, std::ptrdiff_t step, int position, int length) {
    if (position + 6 >= length)
        return false;
    if (!(start[0] == 1 && start[step] == 0 && start[2 * step] == 1 && start[3 * step] == 1 &&
          start[4 * step] == 1 && start[5 * step] == 0 && start[6 * step] == 1)) {
        return false;
    }
    if (position + 10 < length && start[7 * step] == 0 && start[8 * step] == 0 && start[9 * step] == 0 &&
        start[10 * step] == 0) {
        return true;
    }
    return position - 4 >= 0 && start[-step] == 0 && start[-2 * step] == 0 && start[-3 * step] == 0 &&
           start[-4 * step] == 0;
}

} // namespace

int MaskHelper::penaltyFinderLike(const ByteMatrix& matrix) {
    const std::uint8_t* cells = matrix.data().data();
    const int width = matrix.width();
    const int height = matrix.height();
    int penalty = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* cell = cells + static_cast<std::ptrdiff_t>(y) * width + x;
            if (finderLikeAt(cell, 1, x, width))
                penalty += 40;
            if (finderLikeAt(cell, width, y, height))
                penalty += 40;
        }
    }
    return penalty;
}

int MaskHelper::penaltyBalance(const ByteMatrix& matrix) {
    long long dark = 0;
    for (std::uint8_t cell : matrix.data())
        dark += cell == 1 ? 1 : 0;
    const long long total = static_cast<long long>(matrix.width()) * matrix.height();
    if (total == 0)
        return 0;
    // Whole steps of 5 percentage points away from 50 %, in integers so no rounding can move a step.
    const long long steps = std::llabs(2 * dark - total) * 10 / total;
    return static_cast<int>(10 * steps);
}

} // namespace qr::detail
