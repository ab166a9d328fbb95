#pragma once

#include "qr/detail/byte_matrix.h"
#include "qr/detail/ec_level.h"
#include "qr/detail/qr_mode.h"
#include "qr/detail/qr_version.h"
#include "qr/detail/result.h"

#include <string_view>

namespace qr::detail {

/// The record one encode fills: the symbol's parameters and its finished module matrix.
/// A new record holds zeros, a reset one -1; it is complete once an encode has set every number.
struct QrCode {
    static constexpr std::string_view kClassName = "二维码类";

    QrMode mode;
    EcLevel ecLevel;
    int version = 0;
    int matrixWidth = 0;
    int maskPattern = 0;
    int totalBytes = 0;
    int dataBytes = 0;
    int ecBytes = 0;
    int rsBlocks = 0;
    ByteMatrix matrix;

    bool isComplete() const;
    void resetNumbers();
    /// The module at (x, y); a cell that is neither light nor dark is a fault.
    Result<int> moduleAt(int x, int y) const;

    static constexpr bool maskInRange(int mask) { return mask >= 0 && mask <= 7; }
    /// A copy of version n (1-40).
    static Result<QrVersion> versionByNumber(int number);
    /// A copy of the version whose side is the given number of modules.
    static Result<QrVersion> versionByDimension(int dimension);
};

} // namespace qr::detail
