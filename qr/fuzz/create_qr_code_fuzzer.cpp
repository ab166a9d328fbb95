// libFuzzer target over CreateQrCode's inputs: the text, the level, the width and the height.
// Input layout: byte 0 picks the level, bytes 1-2 and 3-4 are the width and height (int16, little
// endian), the rest is the text. Any call must return a well-formed picture or a report.
#include "qr/qr_module.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace {

std::uint32_t readField(const std::vector<std::uint8_t>& bmp, std::size_t offset) {
    return bmp[offset] | (bmp[offset + 1] << 8) | (bmp[offset + 2] << 16) |
           (static_cast<std::uint32_t>(bmp[offset + 3]) << 24);
}

void check(bool condition) {
    if (!condition)
        std::abort();
}

// Sizes the module accepts but that are only slow to fill (up to 8192 x 8192 pixels) are folded into
// a smaller range, so the fuzzer spends its time on inputs; larger ones still reach the size check.
int side(const std::uint8_t* bytes) {
    int value = static_cast<std::int16_t>(bytes[0] | (bytes[1] << 8));
    if (value > 512 && value <= 8192)
        value %= 512;
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5)
        return 0;
    static constexpr std::string_view kLevels[] = {"L", "M", "Q", "H", "l", "m", "q", "h", "", "LL", "x"};
    std::optional<std::string_view> level;
    if (data[0] != 0xFF)
        level = kLevels[data[0] % std::size(kLevels)];
    const int width = side(data + 1);
    const int height = side(data + 3);
    const std::string_view text(reinterpret_cast<const char*>(data + 5), size - 5);

    const qr::QrImage image = qr::CreateQrCode(text, level, width, height, 0xFFFFFF, 0);
    if (!image) {
        check(image.bmp.empty());
        check(!qr::describe(*image.error).empty());
        return 0;
    }
    const std::vector<std::uint8_t>& bmp = image.bmp;
    check(bmp.size() > 54 && bmp[0] == 'B' && bmp[1] == 'M');
    check(readField(bmp, 2) == bmp.size());
    const std::uint32_t pictureWidth = readField(bmp, 18);
    const std::uint32_t pictureHeight = readField(bmp, 22);
    check(pictureWidth >= static_cast<std::uint32_t>(width > 0 ? width : 100));
    check(pictureHeight >= static_cast<std::uint32_t>(height > 0 ? height : 100));
    check(bmp.size() == 54 + ((24 * pictureWidth + 31) / 32) * 4 * pictureHeight);
    return 0;
}
