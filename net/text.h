#pragma once

// Small conversions and extractions shared by the network tools. Text is UTF-8; other character
// sets appear only at the edges, through ConvertCharset. Positions count characters from 1, and no
// search ever matches inside a character. Case-insensitive comparison folds ASCII letters only.

#include <string>
#include <string_view>
#include <vector>

namespace net {

/// Converts `bytes` from `source` to `target` (empty names mean "UTF-8" and "GBK"); invalid input
/// becomes U+FFFD, characters the target cannot hold become "?", an unknown character set gives "".
std::string ConvertCharset(std::string_view bytes, std::string_view source = "UTF-8",
                           std::string_view target = "GBK");

/// Decodes UTF-16LE bytes into UTF-8 text; invalid units and an odd last byte become U+FFFD.
std::string DecodeUtf16(std::string_view bytes);

/// Decodes "\uXXXX", "%uXXXX", "%XX" and string-literal backslash escapes without running anything;
/// malformed escapes stay as they are, line ends are kept.
std::string UnescapeText(std::string_view text);

/// Splits at every `separator`: empty pieces between separators count, a final empty piece is
/// dropped, an empty text gives no pieces (an empty separator gives the whole text as one piece).
std::vector<std::string> SplitText(std::string_view text, std::string_view separator);

/// The text between `startMarker` and the next `endMarker`, searched from `startPosition`; "#引号" in a
/// marker stands for a double quote; "" when either marker is missing.
std::string TextBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker,
                        int startPosition = 1, bool caseSensitive = false);

/// The text before the first `marker` found from `startPosition` (below 1 counts as 1); "" when absent.
std::string TextBefore(std::string_view text, std::string_view marker, int startPosition = 1,
                       bool caseInsensitive = false);

/// Everything after the last `marker`; "" when absent.
std::string TextAfterLast(std::string_view text, std::string_view marker, bool caseInsensitive = false);

/// The part of a header line before its first ":", trimmed; "" when the line has no ":".
std::string HeaderName(std::string_view line);

/// The part of a header line after its first ":", trimmed; "" when the line has no ":".
std::string HeaderValue(std::string_view line);

} // namespace net
