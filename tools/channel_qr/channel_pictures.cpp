#include "tools/channel_qr/channel_pictures.h"

#include "platform/files.h"

#include <utility>
#include <vector>

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
                                                             const ChannelPictures& pictures,
                                                             const StopCheck& stopRequested) {
    return savePicturesInto(baseDirectory / pathFromUtf8(kOutputDirectoryName), pictures, stopRequested);
}

std::expected<std::filesystem::path, SaveError> savePicturesInto(const std::filesystem::path& directory,
                                                                 const ChannelPictures& pictures,
                                                                 const StopCheck& stopRequested) {
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

    // The ten files are one set: all are written to temporaries first, and only when every one is on
    // disk do they take their names, so a failure never leaves one product's codes beside another's.
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> staged; // temporary, target
    auto discardStaged = [&] {
        for (const auto& [temporary, target] : staged)
            std::filesystem::remove(temporary, error);
    };
    const auto stopped = [&] {
        if (!stopRequested || !stopRequested())
            return false;
        discardStaged();
        return true;
    };
    for (const ChannelPicture& picture : pictures) {
        if (stopped())
            return std::unexpected(SaveError{directory, "the save was stopped"});
        const std::filesystem::path file = directory / pictureFileName(picture.caption);
        if (std::filesystem::exists(file, error) && !std::filesystem::is_regular_file(file, error)) {
            discardStaged();
            return std::unexpected(SaveError{file, "exists and is not a file"});
        }
        const std::string_view bytes(reinterpret_cast<const char*>(picture.bmp.data()), picture.bmp.size());
        auto temporary = platform::writeTemporaryBeside(file, bytes);
        if (!temporary) {
            discardStaged();
            return std::unexpected(SaveError{file, temporary.error()});
        }
        staged.emplace_back(std::move(*temporary), file);
    }
    if (stopped())
        return std::unexpected(SaveError{directory, "the save was stopped"});
    for (std::size_t index = 0; index < staged.size(); ++index) {
        if (auto placed = platform::putInPlace(staged[index].first, staged[index].second); !placed) {
            for (std::size_t rest = index + 1; rest < staged.size(); ++rest)
                std::filesystem::remove(staged[rest].first, error);
            return std::unexpected(SaveError{staged[index].second, placed.error()});
        }
    }
    return directory;
}

} // namespace channel_qr
