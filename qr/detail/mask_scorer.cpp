#include "qr/detail/mask_scorer.h"

#include "qr/detail/mask_helper.h"

#include <cstdlib>

namespace qr::detail {

namespace {

using Line = MaskScorer::Line;
constexpr int kWords = MaskScorer::kWords;
constexpr int kLargestSide = 177;

// The line helpers touch only the first W words: W = 1 covers symbols up to 64 modules a side.

// Bit x of the result is bit x + k of the line (0 < k < 64).
template <int W> Line down(const Line& line, int k) {
    Line out{};
    for (int i = 0; i < W - 1; ++i)
        out[i] = (line[i] >> k) | (line[i + 1] << (64 - k));
    out[W - 1] = line[W - 1] >> k;
    return out;
}

// Bit x of the result is bit x - k of the line (0 < k < 64), zero below k.
template <int W> Line up(const Line& line, int k) {
    Line out{};
    out[0] = line[0] << k;
    for (int i = 1; i < W; ++i)
        out[i] = (line[i] << k) | (line[i - 1] >> (64 - k));
    return out;
}

// Bits 0 ... count - 1.
Line lowBits(int count) {
    Line out{};
    for (int i = 0; i < kWords; ++i) {
        const int bits = count - 64 * i;
        if (bits >= 64) {
            out[i] = ~0ULL;
        } else if (bits > 0) {
            out[i] = (1ULL << bits) - 1;
        }
    }
    return out;
}

template <int W> Line both(const Line& a, const Line& b) {
    Line out{};
    for (int i = 0; i < W; ++i)
        out[i] = a[i] & b[i];
    return out;
}
template <int W, class... More> Line both(const Line& a, const Line& b, const More&... more) {
    return both<W>(both<W>(a, b), more...);
}
template <int W> Line either(const Line& a, const Line& b) {
    Line out{};
    for (int i = 0; i < W; ++i)
        out[i] = a[i] | b[i];
    return out;
}
// Bits where the two lines differ.
template <int W> Line differ(const Line& a, const Line& b) {
    Line out{};
    for (int i = 0; i < W; ++i)
        out[i] = a[i] ^ b[i];
    return out;
}
// Bits where the two lines agree, within `inside`.
template <int W> Line agree(const Line& a, const Line& b, const Line& inside) {
    Line out{};
    for (int i = 0; i < W; ++i)
        out[i] = ~(a[i] ^ b[i]) & inside[i];
    return out;
}
template <int W> Line without(const Line& a, const Line& b) {
    Line out{};
    for (int i = 0; i < W; ++i)
        out[i] = a[i] & ~b[i];
    return out;
}

// Population count without relying on a popcount instruction the target may lack.
int bitCount(std::uint64_t word) {
    word = word - ((word >> 1) & 0x5555555555555555ULL);
    word = (word & 0x3333333333333333ULL) + ((word >> 2) & 0x3333333333333333ULL);
    word = (word + (word >> 4)) & 0x0F0F0F0F0F0F0F0FULL;
    return static_cast<int>((word * 0x0101010101010101ULL) >> 56);
}

template <int W> int count(const Line& a) {
    int total = 0;
    for (int i = 0; i < W; ++i)
        total += bitCount(a[i]);
    return total;
}

// Precomputed masks of one side length.
struct Insides {
    Line n;      // 0 ... n - 1
    Line nLess1; // 0 ... n - 2
    Line nLess4;
    Line nLess6;
    Line nLess10;
    explicit Insides(int size)
        : n(lowBits(size)), nLess1(lowBits(size - 1)), nLess4(lowBits(size - 4)), nLess6(lowBits(size - 6)),
          nLess10(lowBits(size - 10)) {}
};

// Rule 1 in one line: a run of L >= 5 costs L - 2, that is one per window of five equal modules
// plus two per run that has such a window.
template <int W> int runsPenalty(const Line& line, const Insides& inside) {
    const Line equalToNext = agree<W>(line, down<W>(line, 1), inside.nLess1);
    const Line windows = both<W>(equalToNext, down<W>(equalToNext, 1), down<W>(equalToNext, 2),
                                 down<W>(equalToNext, 3), inside.nLess4);
    const Line firstWindows = without<W>(windows, up<W>(windows, 1));
    return count<W>(windows) + 2 * count<W>(firstWindows);
}

// Rule 3 in one line: 1 0 1 1 1 0 1 with four light modules inside the line after or before it.
template <int W> int finderLikeCount(const Line& line, const Insides& inside) {
    const Line light = without<W>(inside.n, line);
    const Line pattern = both<W>(line, down<W>(light, 1), down<W>(line, 2), down<W>(line, 3),
                                 down<W>(line, 4), down<W>(light, 5), down<W>(line, 6), inside.nLess6);
    const Line lightAfter =
        both<W>(down<W>(light, 7), down<W>(light, 8), down<W>(light, 9), down<W>(light, 10), inside.nLess10);
    const Line lightBefore = both<W>(up<W>(light, 1), up<W>(light, 2), up<W>(light, 3), up<W>(light, 4));
    return count<W>(both<W>(pattern, either<W>(lightAfter, lightBefore)));
}

template <int W> int runsTotal(const std::vector<Line>& rows, const std::vector<Line>& columns, int size) {
    const Insides inside(size);
    int penalty = 0;
    for (int i = 0; i < size; ++i)
        penalty += runsPenalty<W>(rows[i], inside) + runsPenalty<W>(columns[i], inside);
    return penalty;
}

template <int W> int blocksTotal(const std::vector<Line>& rows, int size) {
    const Insides inside(size);
    int blocks = 0;
    for (int y = 0; y + 1 < size; ++y) {
        const Line& row = rows[y];
        const Line sameBelow = agree<W>(row, rows[y + 1], inside.n);
        blocks += count<W>(
            both<W>(agree<W>(row, down<W>(row, 1), inside.nLess1), sameBelow, down<W>(sameBelow, 1)));
    }
    return 3 * blocks;
}

template <int W>
int finderLikeTotal(const std::vector<Line>& rows, const std::vector<Line>& columns, int size) {
    const Insides inside(size);
    int found = 0;
    for (int i = 0; i < size; ++i)
        found += finderLikeCount<W>(rows[i], inside) + finderLikeCount<W>(columns[i], inside);
    return 40 * found;
}

template <int W> int darkTotal(const std::vector<Line>& rows, int size) {
    int dark = 0;
    for (int y = 0; y < size; ++y)
        dark += count<W>(rows[y]);
    return dark;
}

// Runs `function<W>` with the fewest words that hold a line of `size` modules.
template <template <int> class Function, class... Arguments>
int byWords(int size, const Arguments&... arguments) {
    if (size <= 64)
        return Function<1>::run(arguments...);
    if (size <= 128)
        return Function<2>::run(arguments...);
    return Function<3>::run(arguments...);
}

template <int W> struct Runs {
    static int run(const std::vector<Line>& rows, const std::vector<Line>& columns, int size) {
        return runsTotal<W>(rows, columns, size);
    }
};
template <int W> struct Blocks {
    static int run(const std::vector<Line>& rows, int size) { return blocksTotal<W>(rows, size); }
};
template <int W> struct FinderLike {
    static int run(const std::vector<Line>& rows, const std::vector<Line>& columns, int size) {
        return finderLikeTotal<W>(rows, columns, size);
    }
};
template <int W> struct Dark {
    static int run(const std::vector<Line>& rows, int size) { return darkTotal<W>(rows, size); }
};

// Which cells of every line a mask inverts, by rows and by columns, for the largest symbol.
struct MaskLines {
    std::array<std::array<Line, kLargestSide>, 8> rows{};
    std::array<std::array<Line, kLargestSide>, 8> columns{};
};

const MaskLines& maskLines() {
    static const MaskLines lines = [] {
        MaskLines built;
        for (int mask = 0; mask < 8; ++mask) {
            for (int y = 0; y < kLargestSide; ++y) {
                for (int x = 0; x < kLargestSide; ++x) {
                    if (!MaskHelper::maskBit(mask, x, y))
                        continue;
                    built.rows[mask][y][x >> 6] |= 1ULL << (x & 63);
                    built.columns[mask][x][y >> 6] |= 1ULL << (y & 63);
                }
            }
        }
        return built;
    }();
    return lines;
}

void toLines(const ByteMatrix& matrix, std::vector<Line>& rows, std::vector<Line>& columns) {
    const int n = matrix.width();
    rows.assign(static_cast<std::size_t>(n), Line{});
    columns.assign(static_cast<std::size_t>(n), Line{});
    const std::uint8_t* cells = matrix.data().data();
    for (int y = 0; y < n; ++y) {
        const std::uint8_t* row = cells + static_cast<std::size_t>(y) * n;
        const int columnWord = y >> 6;
        const int columnShift = y & 63;
        for (int x = 0; x < n; ++x) {
            const std::uint64_t dark = row[x] == 1 ? 1 : 0;
            rows[y][x >> 6] |= dark << (x & 63);
            columns[x][columnWord] |= dark << columnShift;
        }
    }
}

} // namespace

MaskScorer::MaskScorer(const ByteMatrix& unmasked, const ByteMatrix& dataCells) : m_size(unmasked.width()) {
    toLines(unmasked, m_baseRows, m_baseColumns);
    toLines(dataCells, m_dataRows, m_dataColumns);
    m_rows = m_baseRows;
    m_columns = m_baseColumns;
}

MaskScorer MaskScorer::fromMatrix(const ByteMatrix& matrix) {
    MaskScorer scorer;
    scorer.m_size = matrix.width();
    toLines(matrix, scorer.m_rows, scorer.m_columns);
    return scorer;
}

void MaskScorer::applyMask(int mask) {
    const MaskLines& lines = maskLines();
    const auto& maskRows = lines.rows[mask];
    const auto& maskColumns = lines.columns[mask];
    for (int i = 0; i < m_size; ++i) {
        for (int w = 0; w < kWords; ++w) {
            m_rows[i][w] = m_baseRows[i][w] ^ (maskRows[i][w] & m_dataRows[i][w]);
            m_columns[i][w] = m_baseColumns[i][w] ^ (maskColumns[i][w] & m_dataColumns[i][w]);
        }
    }
}

void MaskScorer::setModule(int x, int y, int value) {
    const std::uint64_t rowBit = 1ULL << (x & 63);
    const std::uint64_t columnBit = 1ULL << (y & 63);
    if (value == 1) {
        m_rows[y][x >> 6] |= rowBit;
        m_columns[x][y >> 6] |= columnBit;
    } else {
        m_rows[y][x >> 6] &= ~rowBit;
        m_columns[x][y >> 6] &= ~columnBit;
    }
}

int MaskScorer::penaltyRuns() const {
    return byWords<Runs>(m_size, m_rows, m_columns, m_size);
}

int MaskScorer::penaltyBlocks() const {
    return byWords<Blocks>(m_size, m_rows, m_size);
}

int MaskScorer::penaltyFinderLike() const {
    return byWords<FinderLike>(m_size, m_rows, m_columns, m_size);
}

int MaskScorer::penaltyBalance() const {
    const long long dark = byWords<Dark>(m_size, m_rows, m_size);
    const long long total = static_cast<long long>(m_size) * m_size;
    if (total == 0)
        return 0;
    // Whole steps of 5 percentage points away from 50 %, as MaskHelper::penaltyBalance counts them.
    return static_cast<int>(10 * (std::llabs(2 * dark - total) * 10 / total));
}

int MaskScorer::penalty() const {
    return penaltyRuns() + penaltyBlocks() + penaltyFinderLike() + penaltyBalance();
}

} // namespace qr::detail
