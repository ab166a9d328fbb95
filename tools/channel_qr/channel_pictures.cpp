#include "tools/channel_qr/channel_pictures.h"

#include "platform/files.h"

#include <system_error>

namespace channel_qr {
namespace {

constexpr std::int32_t kWhite = 0xFFFFFF;
constexpr std::int32_t kBlack = 0x000000;

// Captions are UTF-8; building the path from char8_t keeps them right on every platform.
std::filesystem::path pathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

} // namespace

std::expected<ChannelPicture, qr::ErrorReport> makeChannelPicture(const ChannelLink& channel,
                                                                  PictureSize size) {
    qr::QrImage image =
        qr::CreateQrCode(channel.link, channel.level, size.width, size.height, kWhite, kBlack);
    if (!image)
        return std::unexpected(std::move(*image.error));
    return ChannelPicture{std::string(channel.caption), channel.link, std::move(image.bmp)};
}

std::expected<ChannelPictures, GenerationError> generatePictures(std::string_view productId,
                                                                 PictureSize size) {
    const ChannelLinks links = channelLinks(productId);
    ChannelPictures pictures;
    for (std::size_t i = 0; i < kChannelCount; ++i) {
        auto picture = makeChannelPicture(links[i], size);
        if (!picture)
            return std::unexpected(GenerationError{i, std::move(picture.error())});
        pictures[i] = std::move(*picture);
    }
    return pictures;
}

std::filesystem::path pictureFileName(std::string_view caption) {
    return pathFromUtf8(std::string(caption) + ".jpg");
}

std::expected<std::filesystem::path, SaveError> savePictures(const std::filesystem::path& baseDirectory,
                                                             const ChannelPictures& pictures) {
    return savePicturesInto(baseDirectory / pathFromUtf8(kOutputDirectoryName), pictures);
}

std::expected<std::filesystem::path, SaveError> savePicturesInto(const std::filesystem::path& directory,
                                                                 const ChannelPictures& pictures) {
    // Check the whole set first, so a broken set never leaves some files new and some old.
    for (const ChannelPicture& picture : pictures)
        if (picture.bmp.empty())
            return std::unexpected(
                SaveError{directory / pictureFileName(picture.caption), "no picture was generated"});

    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error)
        return std::unexpected(SaveError{directory, error.message()});
    if (!std::filesystem::is_directory(directory, error))
        return std::unexpected(SaveError{directory, "exists and is not a directory"});

    for (const ChannelPicture& picture : pictures) {
        const std::filesystem::path file = directory / pictureFileName(picture.caption);
        const std::string_view bytes(reinterpret_cast<const char*>(picture.bmp.data()), picture.bmp.size());
        if (auto written = platform::writeFileAtomically(file, bytes); !written)
            return std::unexpected(SaveError{file, written.error()});
    }
    return directory;
}

} // namespace channel_qr
