// The encoder's mask choice: every mask is scored on the whole symbol and the lowest score wins.
#include "qr/detail/mask_helper.h"
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
    // the mask, so they are placed once; each candidate copies that unmasked symbol, writes its own
    // format information and inverts its data cells. This gives the same matrix as a full build per mask.
    const MatrixBuilder builder;
    QR_ASSIGN_OR_RETURN(const QrVersion entry, QrCode::versionByNumber(version));
    ByteMatrix unmasked(entry.dimension(), entry.dimension());
    MatrixBuilder::resetToEmpty(unmasked);
    QR_TRY(builder.insertFunctionPatterns(version, unmasked));
    QR_TRY(builder.insertFormatInfo(level, 0, unmasked));
    QR_TRY(builder.insertVersionInfo(version, unmasked));
    const int n = unmasked.width();
    std::vector<int> dataCells; // (y << 8) | x of every cell the data fills
    dataCells.reserve(unmasked.data().size());
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            if (MatrixBuilder::isEmptyValue(unmasked.get(x, y)))
                dataCells.push_back((y << 8) | x);
        }
    }
    QR_TRY(builder.insertDataBits(bits, -1, unmasked));

    int best = -1;
    int lowest = INT_MAX;
    ByteMatrix candidate = unmasked;
    for (int mask = 0; mask < 8; ++mask) {
        candidate.data() = unmasked.data();
        QR_TRY(builder.insertFormatInfo(level, mask, candidate));
        std::uint8_t* cells = candidate.data().data();
        for (int cell : dataCells) {
            const int x = cell & 0xFF;
            const int y = cell >> 8;
            if (MaskHelper::maskBit(mask, x, y))
                cells[y * n + x] ^= 1;
        }
        const int penalty = maskPenalty(candidate);
        if (penalty < lowest) {
            lowest = penalty;
            best = mask;
            matrix = candidate;
        }
    }
    return best;
}

} // namespace qr::detail
