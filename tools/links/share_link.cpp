#include "tools/links/share_link.h"

#include "net/text.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <functional>

namespace links {
namespace {

// Characters a link may hold as pasted; anything else (blanks, Chinese text and punctuation, quotes,
// angle brackets) is taken to be the words around it.
bool isLinkCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F)
        return false;
    constexpr std::string_view kExcluded = "\"<>\\^`{|}";
    return kExcluded.find(c) == std::string_view::npos;
}

bool startsWithScheme(std::string_view text) {
    constexpr std::array kSchemes{std::string_view("http://"), std::string_view("https://")};
    return std::ranges::any_of(kSchemes, [&](std::string_view scheme) {
        return text.size() >= scheme.size() &&
               std::ranges::equal(text.substr(0, scheme.size()), scheme, [](char a, char b) {
                   return std::tolower(static_cast<unsigned char>(a)) == b;
               });
    });
}

// The link that ends where `before` ends: the link characters at its end, from the last scheme among
// them when there is one (share texts glue a link to a preceding code such as "$ab12$").
std::string_view linkAtEnd(std::string_view before) {
    std::size_t start = before.size();
    while (start > 0 && isLinkCharacter(before[start - 1]))
        --start;
    std::string_view link = before.substr(start);
    for (std::size_t at = link.size(); at-- > 0;) {
        if (startsWithScheme(link.substr(at)))
            return link.substr(at);
    }
    return link;
}

// The 1-based character position of byte `offset`, as the text helpers count positions.
int characterPosition(std::string_view text, std::size_t offset) {
    const auto continuation = [](char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; };
    return 1 + static_cast<int>(std::ranges::count_if(text.substr(0, offset), std::not_fn(continuation)));
}

} // namespace

std::string trimShareLink(std::string_view text) {
    for (std::size_t from = 0;;) {
        const std::size_t end = text.find(kShareLinkEndMarker, from);
        if (end == std::string_view::npos)
            return {};
        // B of the trim: the text before the end marker, searching from the current place.
        const std::string before = net::TextBefore(text, kShareLinkEndMarker, characterPosition(text, from));
        const std::string_view link = linkAtEnd(before);
        const std::size_t page = link.find(kShareLinkPageMarker);
        // A of the trim (the query after the last page marker) must not be empty.
        if (page != std::string_view::npos && page > 0 &&
            !net::TextAfterLast(link, kShareLinkPageMarker).empty())
            return std::string(link);
        from = end + 1;
    }
}

} // namespace links
