#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace links {

/// The five marketplaces the user can pick; only the first three have product links.
enum class Marketplace { Douyin, Taobao, Pinduoduo, Jd, Alibaba1688 };

/// A product link is prefix + ID + suffix; the ID goes in verbatim, neither trimmed nor checked.
struct LinkTemplate {
    std::string prefix;
    std::string suffix;

    std::string linkFor(std::string_view id) const;
    /// Appends the link to `out`, so a caller writing many links can reuse one buffer.
    void appendLink(std::string& out, std::string_view id) const;

    bool operator==(const LinkTemplate&) const = default;
};

/// The link template of a marketplace, with its host from net/endpoints.h; none for JD and 1688.
std::optional<LinkTemplate> linkTemplateFor(Marketplace marketplace);

} // namespace links
