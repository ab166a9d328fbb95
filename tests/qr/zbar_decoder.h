#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qrtest {

/// The pixels of a 24-bit BMP file as 8-bit grey, top row first.
struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

/// Reads a bottom-up 24-bit BMP as the encoder writes it; nullopt for anything else.
std::optional<GreyImage> greyFromBmp(const std::vector<std::uint8_t>& bmp);

/// The picture magnified by a whole factor, as a screen shows a small picture larger.
GreyImage magnified(const GreyImage& image, int factor);

/// The raw bytes of the one QR symbol zbar finds in the picture, or nullopt when it finds none.
std::optional<std::string> decodeWithZbar(const GreyImage& image);
std::optional<std::string> decodeBmpWithZbar(const std::vector<std::uint8_t>& bmp);

} // namespace qrtest
