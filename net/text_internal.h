#pragma once

// Helpers shared by the net sources; not part of the public API.

#include <cstddef>
#include <string>
#include <string_view>

namespace net::detail {

/// True when a character starts (or the text ends) at byte `index`. A continuation byte is inside a
/// character only when a lead byte before it starts a complete sequence that covers it; stray
/// continuation bytes of broken text count as characters of their own.
bool isCharacterBoundary(std::string_view text, std::size_t index);

/// The first occurrence of `marker` at or after byte `from` that starts and ends on character
/// boundaries; npos when there is none or `marker` is empty.
std::size_t findText(std::string_view text, std::string_view marker, std::size_t from, bool ignoreCase);

/// The last such occurrence; npos when there is none or `marker` is empty.
std::size_t findLastText(std::string_view text, std::string_view marker, bool ignoreCase);

/// ASCII letters lowered; other bytes unchanged, so byte positions stay the same.
std::string asciiLower(std::string_view text);

/// Blanks (space, tab, U+3000) removed at both ends.
std::string_view trimBlanks(std::string_view text);

/// True when `haystack` contains `needle`, ASCII letters compared without case.
bool containsIgnoringCase(std::string_view haystack, std::string_view needle);

/// Every `from` replaced by `to`, left to right (an empty `from` changes nothing).
std::string replaceAll(std::string_view text, std::string_view from, std::string_view to,
                       bool ignoreCase = false);

/// `code` as UTF-8 (surrogates and values past U+10FFFF as U+FFFD).
void appendUtf8(std::string& out, char32_t code);

} // namespace net::detail
