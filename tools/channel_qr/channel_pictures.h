#pragma once

#include "qr/qr_module.h"
#include "tools/channel_qr/channels.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <expected>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace channel_qr {

/// The directory, under the run directory, that receives the ten pictures.
inline constexpr std::string_view kOutputDirectoryName = "生成的渠道码";

/// The size of every picture box, and so of every code picture.
struct PictureSize {
    int width = 200;
    int height = 200;
};

/// One channel's code: its caption, the link it encodes and the BMP file bytes of the picture.
struct ChannelPicture {
    std::string caption;
    std::string link;
    std::vector<std::uint8_t> bmp;
};

using ChannelPictures = std::array<ChannelPicture, kChannelCount>;

/// Why a generation stopped: the QR module's report for the channel (0-based) it could not encode.
struct GenerationError {
    std::size_t channel = 0;
    qr::ErrorReport report;
};

/// Why saving stopped: the file or directory that failed and what the system said about it.
struct SaveError {
    std::filesystem::path path;
    std::string reason;
};

/// The code picture of one channel link (white background, black modules).
std::expected<ChannelPicture, qr::ErrorReport> makeChannelPicture(const ChannelLink& channel,
                                                                  PictureSize size = {});

/// The ten code pictures of a product, in channel order. The ID is used as given (see productIdFrom).
std::expected<ChannelPictures, GenerationError> generatePictures(std::string_view productId,
                                                                 PictureSize size = {});

/// The file name of a channel's picture: its caption with ".jpg" (the content is BMP, as it always was;
/// other tools of the users read these files by these names).
std::filesystem::path pictureFileName(std::string_view caption);

/// Asked before each step of a save; true makes it stop, leaving the older files as they were.
using StopCheck = std::function<bool()>;

/// Writes the ten pictures into kOutputDirectoryName under `baseDirectory` (created when missing), each
/// file whole and atomically, replacing older ones. Returns the output directory. A set with a missing
/// picture writes nothing. `stopRequested` is asked before each picture is written and before the set
/// takes its names (renaming cannot be stopped half-way); a stopped save removes what it wrote.
std::expected<std::filesystem::path, SaveError> savePictures(const std::filesystem::path& baseDirectory,
                                                             const ChannelPictures& pictures,
                                                             const StopCheck& stopRequested = {});

/// Writes the ten pictures straight into `directory` (created when missing), as savePictures does.
std::expected<std::filesystem::path, SaveError> savePicturesInto(const std::filesystem::path& directory,
                                                                 const ChannelPictures& pictures,
                                                                 const StopCheck& stopRequested = {});

} // namespace channel_qr
