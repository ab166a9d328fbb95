#include "zbar_decoder.h"

#include <zbar.h>

#include <memory>

namespace qrtest {

using namespace zbar;

namespace {

std::uint32_t readLittleEndian(const std::vector<std::uint8_t>& bytes, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | bytes[offset + static_cast<std::size_t>(i)];
    return value;
}

} // namespace

std::optional<GreyImage> greyFromBmp(const std::vector<std::uint8_t>& bmp) {
    if (bmp.size() < 54 || bmp[0] != 'B' || bmp[1] != 'M')
        return std::nullopt;
    const auto width = static_cast<std::int32_t>(readLittleEndian(bmp, 18, 4));
    const auto height = static_cast<std::int32_t>(readLittleEndian(bmp, 22, 4));
    const std::uint32_t offset = readLittleEndian(bmp, 10, 4);
    if (width <= 0 || height <= 0 || readLittleEndian(bmp, 28, 2) != 24)
        return std::nullopt;
    const std::size_t stride = ((24u * static_cast<std::size_t>(width) + 31) / 32) * 4;
    if (bmp.size() < offset + stride * static_cast<std::size_t>(height))
        return std::nullopt;
    GreyImage image{width, height, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height)};
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = bmp.data() + offset + stride * static_cast<std::size_t>(height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const int grey = (row[3 * x] + row[3 * x + 1] + row[3 * x + 2]) / 3;
            image.pixels[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint8_t>(grey);
        }
    }
    return image;
}

GreyImage magnified(const GreyImage& image, int factor) {
    GreyImage large{image.width * factor, image.height * factor, {}};
    large.pixels.resize(static_cast<std::size_t>(large.width) * large.height);
    for (int y = 0; y < large.height; ++y) {
        for (int x = 0; x < large.width; ++x) {
            large.pixels[static_cast<std::size_t>(y) * large.width + x] =
                image.pixels[static_cast<std::size_t>(y / factor) * image.width + x / factor];
        }
    }
    return large;
}

std::optional<std::string> decodeWithZbar(const GreyImage& image) {
    const std::unique_ptr<zbar_image_scanner_t, decltype(&zbar_image_scanner_destroy)> scanner(
        zbar_image_scanner_create(), &zbar_image_scanner_destroy);
    zbar_image_scanner_set_config(scanner.get(), ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
    zbar_image_scanner_set_config(scanner.get(), ZBAR_QRCODE, ZBAR_CFG_ENABLE, 1);
    // Raw bytes, not zbar's guess at a character set.
    zbar_image_scanner_set_config(scanner.get(), ZBAR_QRCODE, ZBAR_CFG_BINARY, 1);
    const std::unique_ptr<zbar_image_t, decltype(&zbar_image_destroy)> zimage(zbar_image_create(),
                                                                              &zbar_image_destroy);
    zbar_image_set_format(zimage.get(), zbar_fourcc('Y', '8', '0', '0'));
    zbar_image_set_size(zimage.get(), static_cast<unsigned>(image.width),
                        static_cast<unsigned>(image.height));
    zbar_image_set_data(zimage.get(), image.pixels.data(), image.pixels.size(), nullptr);
    if (zbar_scan_image(scanner.get(), zimage.get()) <= 0)
        return std::nullopt;
    const zbar_symbol_t* symbol = zbar_image_first_symbol(zimage.get());
    if (symbol == nullptr || zbar_symbol_next(symbol) != nullptr)
        return std::nullopt;
    return std::string(zbar_symbol_get_data(symbol), zbar_symbol_get_data_length(symbol));
}

std::optional<std::string> decodeBmpWithZbar(const std::vector<std::uint8_t>& bmp) {
    const std::optional<GreyImage> image = greyFromBmp(bmp);
    if (!image)
        return std::nullopt;
    return decodeWithZbar(*image);
}

} // namespace qrtest
