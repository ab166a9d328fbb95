#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// Reads QR pictures back with zbar, an independent decoder used only as a black box.
namespace qrtest {

/// Grey pixels, one byte each, rows top to bottom.
struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

/// Reads a 24-bit uncompressed BMP file on its own (not through the code under test), or nullopt.
std::optional<GreyImage> greyFromBmp(std::string_view bmp);
std::optional<GreyImage> greyFromBmp(const std::vector<std::uint8_t>& bmp);

/// The picture magnified by a whole factor, as a screen shows a small picture larger.
GreyImage magnified(const GreyImage& image, int factor);

/// The raw bytes of every QR symbol zbar finds in the picture (binary mode: no charset guessing).
std::vector<std::string> decodeAllWithZbar(const GreyImage& image);

/// The raw bytes of the one QR symbol zbar finds, or nullopt when it finds none or several.
std::optional<std::string> decodeWithZbar(const GreyImage& image);
std::optional<std::string> decodeBmpWithZbar(const std::vector<std::uint8_t>& bmp);

} // namespace qrtest
