#pragma once

#include "qr/detail/byte_matrix.h"

#include <array>
#include <cstdint>
#include <vector>

namespace qr::detail {

/// The four penalty rules of MaskHelper computed on rows and columns held as bit sets, 64 modules
/// to a word, for the eight candidates of one symbol. It gives exactly MaskHelper's totals.
class MaskScorer {
public:
    static constexpr int kWords = 3; // 177 modules per line at most
    using Line = std::array<std::uint64_t, kWords>;

    /// Takes the symbol built without a mask and the cells the data fills (1 where it does).
    /// Format-information cells are set per mask with setFormatCell.
    MaskScorer(const ByteMatrix& unmasked, const ByteMatrix& dataCells);

    /// Makes the candidate for a mask: the unmasked symbol with the mask's data cells inverted.
    void applyMask(int mask);
    /// Sets one module of the current candidate (the format information differs per mask).
    void setModule(int x, int y, int value);
    /// MaskHelper::penaltyRuns + penaltyBlocks + penaltyFinderLike + penaltyBalance of the candidate.
    int penalty() const;

    /// The rules one at a time, for tests that compare them with MaskHelper's.
    int penaltyRuns() const;
    int penaltyBlocks() const;
    int penaltyFinderLike() const;
    int penaltyBalance() const;

    /// Bit sets of a whole matrix, for those tests.
    static MaskScorer fromMatrix(const ByteMatrix& matrix);

private:
    MaskScorer() = default;

    int m_size = 0;
    std::vector<Line> m_baseRows, m_baseColumns; // unmasked symbol
    std::vector<Line> m_dataRows, m_dataColumns; // cells the data fills
    std::vector<Line> m_rows, m_columns;         // current candidate
};

} // namespace qr::detail
