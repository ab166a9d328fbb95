#include "qr/detail/bitmap.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace qr::detail {

ByteMatrix ScaleToPixels(const QrCode& code, int width, int height) {
    const ByteMatrix& input = code.matrix;
    const int w = input.width();
    const int h = input.height();
    const int quietWidth = w + 4;
    const int quietHeight = h + 4;
    const int outWidth = std::max(width, quietWidth);
    const int outHeight = std::max(height, quietHeight);
    const int scale = std::max(1, std::min(outWidth / quietWidth, outHeight / quietHeight));
    const int left = (outWidth - w * scale) / 2;
    const int top = (outHeight - h * scale) / 2;

    ByteMatrix output(outWidth, outHeight);
    std::uint8_t* cells = output.data().data();
    for (int y = 0; y < h; ++y) {
        std::uint8_t* firstRow = cells + static_cast<std::ptrdiff_t>(top + y * scale) * outWidth;
        std::uint8_t* target = firstRow + left;
        for (int x = 0; x < w; ++x) {
            const std::uint8_t value = input.get(x, y) == 1 ? 1 : 0;
            for (int a = 0; a < scale; ++a)
                *target++ = value;
        }
        for (int b = 1; b < scale; ++b)
            std::memcpy(firstRow + static_cast<std::ptrdiff_t>(b) * outWidth, firstRow,
                        static_cast<std::size_t>(outWidth));
    }
    return output;
}

namespace {

void putLittleEndian(std::uint8_t* target, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        target[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

} // namespace

std::vector<std::uint8_t> MatrixToBitmap(const ByteMatrix& pixels, std::int32_t background,
                                         std::int32_t foreground) {
    const int width = pixels.width();
    const int height = pixels.height();
    const auto stride = static_cast<std::size_t>(bmpRowStride(width));
    const std::size_t fileSize = kBmpHeaderSize + stride * static_cast<std::size_t>(height);
    std::vector<std::uint8_t> file(fileSize, 0);

    std::uint8_t* header = file.data();
    header[0] = 'B';
    header[1] = 'M';
    putLittleEndian(header + 2, static_cast<std::uint32_t>(fileSize), 4);
    putLittleEndian(header + 10, kBmpHeaderSize, 4);
    putLittleEndian(header + 14, 40, 4);
    putLittleEndian(header + 18, static_cast<std::uint32_t>(width), 4);
    putLittleEndian(header + 22, static_cast<std::uint32_t>(height), 4); // positive: rows bottom-up
    putLittleEndian(header + 26, 1, 2);
    putLittleEndian(header + 28, 24, 2);

    // 0x00BBGGRR colours, stored blue, green, red.
    const auto bgr = [](std::int32_t colour) {
        const auto value = static_cast<std::uint32_t>(colour);
        return std::array<std::uint8_t, 3>{static_cast<std::uint8_t>(value >> 16),
                                           static_cast<std::uint8_t>(value >> 8),
                                           static_cast<std::uint8_t>(value)};
    };
    const std::array<std::array<std::uint8_t, 3>, 2> colours{bgr(background), bgr(foreground)};

    const std::uint8_t* cells = pixels.data().data();
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = cells + static_cast<std::ptrdiff_t>(y) * width;
        std::uint8_t* target =
            file.data() + kBmpHeaderSize + stride * static_cast<std::size_t>(height - 1 - y);
        if (y > 0 && std::memcmp(row, row - width, static_cast<std::size_t>(width)) == 0) {
            // Scaled modules repeat whole rows: copy the row painted just before (stored just after this
            // one).
            std::memcpy(target, target + stride, static_cast<std::size_t>(width) * 3);
            continue;
        }
        for (int x = 0; x < width; ++x) {
            const auto& colour = colours[row[x] == 1 ? 1 : 0];
            target[3 * x] = colour[0];
            target[3 * x + 1] = colour[1];
            target[3 * x + 2] = colour[2];
        }
    }
    return file;
}

} // namespace qr::detail
