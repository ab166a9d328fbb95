#pragma once

#include <string>
#include <string_view>

namespace links {

/// The marker that ends the part of a share link worth keeping.
inline constexpr std::string_view kShareLinkEndMarker = "&page_from=1";
/// The marker that a product or live page link carries before its query.
inline constexpr std::string_view kShareLinkPageMarker = "html?";

/// Finds the share link in a pasted text (the words a share usually carries around it may stay) and
/// trims it to one openable link: from its start up to, not including, "&page_from=1". The link must
/// hold "html?" followed by a query before that marker. Markers match exactly (case-sensitive); the
/// first link that satisfies this wins; a text without such a link gives "".
std::string trimShareLink(std::string_view text);

} // namespace links
