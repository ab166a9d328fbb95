#pragma once

#include "qr/detail/byte_matrix.h"
#include "qr/detail/qr_code.h"

#include <cstdint>
#include <vector>

namespace qr::detail {

/// Size of the BMP file header and info header before the pixel rows.
inline constexpr int kBmpHeaderSize = 54;

/// Bytes per stored pixel row: three per pixel, rounded up to a multiple of four.
constexpr std::int64_t bmpRowStride(int width) {
    return ((24LL * width + 31) / 32) * 4;
}

/// The symbol's modules scaled into a pixel grid with a margin of at least two modules: the requested
/// size, or larger where the symbol and its margin need more (never a cropped symbol).
ByteMatrix ScaleToPixels(const QrCode& code, int width, int height);

/// A 24-bit BMP file of the pixel grid (1 = foreground, else background), colours as 0x00BBGGRR.
std::vector<std::uint8_t> MatrixToBitmap(const ByteMatrix& pixels, std::int32_t background,
                                         std::int32_t foreground);

} // namespace qr::detail
