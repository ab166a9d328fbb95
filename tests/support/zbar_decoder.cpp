#include "zbar_decoder.h"

#include <zbar.h>

#include <memory>

// zbar.h puts its C interface into namespace zbar when compiled as C++.
using namespace zbar;

namespace qrtest {
namespace {

std::uint32_t readLittleEndian(std::string_view bytes, std::size_t offset, std::size_t size) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value |= static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[offset + i])) << (8 * i);
    return value;
}

} // namespace

std::optional<GreyImage> greyFromBmp(std::string_view bmp) {
    if (bmp.size() < 54 || !bmp.starts_with("BM"))
        return std::nullopt;
    const std::uint32_t dataOffset = readLittleEndian(bmp, 10, 4);
    const auto width = static_cast<std::int32_t>(readLittleEndian(bmp, 18, 4));
    const auto height = static_cast<std::int32_t>(readLittleEndian(bmp, 22, 4));
    if (readLittleEndian(bmp, 28, 2) != 24 || readLittleEndian(bmp, 30, 4) != 0 || width <= 0 || height == 0)
        return std::nullopt;
    const bool bottomUp = height > 0;
    const int rows = bottomUp ? height : -height;
    const std::size_t stride = (static_cast<std::size_t>(width) * 24 + 31) / 32 * 4;
    if (bmp.size() < dataOffset + stride * static_cast<std::size_t>(rows))
        return std::nullopt;
    GreyImage image{width, rows, std::vector<std::uint8_t>(static_cast<std::size_t>(width) * rows)};
    for (int y = 0; y < rows; ++y) {
        const std::size_t row = dataOffset + stride * static_cast<std::size_t>(bottomUp ? rows - 1 - y : y);
        for (int x = 0; x < width; ++x) {
            const auto* pixel = reinterpret_cast<const std::uint8_t*>(bmp.data() + row + 3 * x);
            image.pixels[static_cast<std::size_t>(y) * width + x] =
                static_cast<std::uint8_t>((pixel[0] * 29 + pixel[1] * 150 + pixel[2] * 77) >> 8);
        }
    }
    return image;
}

std::optional<GreyImage> greyFromBmp(const std::vector<std::uint8_t>& bmp) {
    return greyFromBmp(std::string_view(reinterpret_cast<const char*>(bmp.data()), bmp.size()));
}

GreyImage magnified(const GreyImage& image, int factor) {
    GreyImage large{image.width * factor, image.height * factor, {}};
    large.pixels.resize(static_cast<std::size_t>(large.width) * large.height);
    for (int y = 0; y < large.height; ++y)
        for (int x = 0; x < large.width; ++x)
            large.pixels[static_cast<std::size_t>(y) * large.width + x] =
                image.pixels[static_cast<std::size_t>(y / factor) * image.width + x / factor];
    return large;
}

std::vector<std::string> decodeAllWithZbar(const GreyImage& image) {
    const std::unique_ptr<zbar_image_scanner_t, decltype(&zbar_image_scanner_destroy)> scanner(
        zbar_image_scanner_create(), &zbar_image_scanner_destroy);
    zbar_image_scanner_set_config(scanner.get(), ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
    zbar_image_scanner_set_config(scanner.get(), ZBAR_QRCODE, ZBAR_CFG_ENABLE, 1);
    zbar_image_scanner_set_config(scanner.get(), ZBAR_QRCODE, ZBAR_CFG_BINARY, 1);
    const std::unique_ptr<zbar_image_t, decltype(&zbar_image_destroy)> zimage(zbar_image_create(),
                                                                              &zbar_image_destroy);
    zbar_image_set_format(zimage.get(), zbar_fourcc('Y', '8', '0', '0'));
    zbar_image_set_size(zimage.get(), static_cast<unsigned>(image.width),
                        static_cast<unsigned>(image.height));
    zbar_image_set_data(zimage.get(), image.pixels.data(), image.pixels.size(), nullptr);
    std::vector<std::string> texts;
    if (zbar_scan_image(scanner.get(), zimage.get()) > 0)
        for (const zbar_symbol_t* symbol = zbar_image_first_symbol(zimage.get()); symbol;
             symbol = zbar_symbol_next(symbol))
            texts.emplace_back(zbar_symbol_get_data(symbol), zbar_symbol_get_data_length(symbol));
    return texts;
}

std::optional<std::string> decodeWithZbar(const GreyImage& image) {
    std::vector<std::string> texts = decodeAllWithZbar(image);
    if (texts.size() != 1)
        return std::nullopt;
    return std::move(texts.front());
}

std::optional<std::string> decodeBmpWithZbar(const std::vector<std::uint8_t>& bmp) {
    const std::optional<GreyImage> image = greyFromBmp(bmp);
    if (!image)
        return std::nullopt;
    return decodeWithZbar(*image);
}

} // namespace qrtest
