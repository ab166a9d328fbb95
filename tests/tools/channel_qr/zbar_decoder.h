#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// Grey pixels, one byte each, rows top to bottom.
struct GreyImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
};

/// Reads a 24-bit uncompressed BMP file on its own (not through the code under test), or nullopt.
std::optional<GreyImage> greyFromBmp(std::string_view bmp);

/// The texts of all QR symbols zbar finds in the image, as raw bytes.
std::vector<std::string> decodeQr(const GreyImage& image);
