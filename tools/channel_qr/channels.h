#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace channel_qr {

/// How many channel links (and pictures) one product gets.
inline constexpr std::size_t kChannelCount = 10;

/// A channel's caption (also its picture file's name) and the error-correction level of its code.
struct ChannelInfo {
    std::string_view caption;
    std::string_view level; // lower case, as the QR module is asked
};

/// The ten channels in the order of their picture boxes 1 to 10.
inline constexpr std::array<ChannelInfo, kChannelCount> kChannels{{
    {"猜你喜欢", "l"},
    {"淘宝精选", "l"},
    {"精选好货", "l"},
    {"亲宝贝", "l"},
    {"手淘找相似", "l"},
    {"淘金币", "l"},
    {"淘内免费其他", "l"},
    {"微详情", "l"},
    {"有好货", "l"},
    {"问大家", "m"},
}};

struct ChannelLink {
    std::string_view caption;
    std::string_view level;
    std::string link;
};

using ChannelLinks = std::array<ChannelLink, kChannelCount>;

/// The ten channel links of one product, the ID inserted verbatim (trim it first: productIdFrom).
ChannelLinks channelLinks(std::string_view productId);

/// The ID as typed, without the white space around it (ASCII, no-break and ideographic spaces).
/// An empty result means no ID was given.
std::string productIdFrom(std::string_view text);

} // namespace channel_qr
