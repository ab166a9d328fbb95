// The encoder's mask choice: every mask is scored on the whole symbol and the lowest score wins.
#include "qr/detail/mask_helper.h"
#include "qr/detail/mask_scorer.h"
#include "qr/detail/matrix_builder.h"
#include "qr/detail/qr_encoder.h"

#include <climits>
#include <vector>

namespace qr::detail {

int QrEncoder::maskPenalty(const ByteMatrix& matrix) {
    return MaskHelper::penaltyRuns(matrix) + MaskHelper::penaltyBlocks(matrix) +
           MaskHelper::penaltyFinderLike(matrix) + MaskHelper::penaltyBalance(matrix);
}

Result<int> QrEncoder::chooseMask(const BitVector& bits, const EcLevel& level, int version,
                                  ByteMatrix& matrix) const {
    // The function patterns, the version information and the order of the data bits do not depend on
    // the mask, so they are placed once; each candidate is that unmasked symbol with its own format
    // information and its data cells inverted where the mask says. That is the matrix buildSymbol
    // makes for the mask, and MaskScorer scores it exactly as maskPenalty does, on bit sets.
    const MatrixBuilder builder;
    QR_ASSIGN_OR_RETURN(const QrVersion entry, QrCode::versionByNumber(version));
    const int n = entry.dimension();
    ByteMatrix unmasked(n, n);
    MatrixBuilder::resetToEmpty(unmasked);
    QR_TRY(builder.insertFunctionPatterns(version, unmasked));
    QR_TRY(builder.insertFormatInfo(level, 0, unmasked));
    QR_TRY(builder.insertVersionInfo(version, unmasked));
    ByteMatrix dataCells(n, n);
    for (std::size_t i = 0; i < unmasked.data().size(); ++i) {
        dataCells.data()[i] = MatrixBuilder::isEmptyValue(unmasked.data()[i]) ? 1 : 0;
    }
    QR_TRY(builder.insertDataBits(bits, -1, unmasked));

    MaskScorer scorer(unmasked, dataCells);
    int best = -1;
    int lowest = INT_MAX;
    for (int mask = 0; mask < 8; ++mask) {
        scorer.applyMask(mask);
        QR_ASSIGN_OR_RETURN(const auto formatModules, builder.formatInfoModules(level, mask, n));
        for (const auto& module : formatModules)
            scorer.setModule(module.x, module.y, module.value);
        const int penalty = scorer.penalty();
        if (penalty < lowest) {
            lowest = penalty;
            best = mask;
        }
    }

    matrix = std::move(unmasked);
    QR_TRY(builder.insertFormatInfo(level, best, matrix));
    std::uint8_t* cells = matrix.data().data();
    const std::uint8_t* isData = dataCells.data().data();
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const std::size_t index = static_cast<std::size_t>(y) * n + x;
            if (isData[index] != 0 && MaskHelper::maskBit(best, x, y))
                cells[index] ^= 1;
        }
    }
    return best;
}

} // namespace qr::detail
