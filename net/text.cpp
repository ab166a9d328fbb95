#include "net/text.h"

#include "net/text_internal.h"

#include <cerrno>
#include <iconv.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <memory>
#include <optional>

namespace net {
namespace detail {

namespace {

bool isContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

std::size_t sequenceLength(char lead) {
    const auto byte = static_cast<unsigned char>(lead);
    return byte >= 0xC2 && byte <= 0xDF   ? 2
           : byte >= 0xE0 && byte <= 0xEF ? 3
           : byte >= 0xF0 && byte <= 0xF4 ? 4
                                          : 0;
}

} // namespace

bool isCharacterBoundary(std::string_view text, std::size_t index) {
    if (index == 0 || index >= text.size() || !isContinuation(text[index]))
        return true;
    for (std::size_t back = 1; back <= 3 && back <= index; ++back) {
        const std::size_t start = index - back;
        if (isContinuation(text[start]))
            continue;
        const std::size_t length = sequenceLength(text[start]);
        if (length <= back || start + length > text.size())
            return true;
        for (std::size_t k = 1; k < length; ++k)
            if (!isContinuation(text[start + k]))
                return true;
        return false;
    }
    return true;
}

std::string asciiLower(std::string_view text) {
    std::string lowered(text);
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lowered;
}

// The text and marker a search compares: ASCII-folded copies when case is ignored, else the caller's
// own. Folding keeps byte positions, so what is found indexes the caller's text.
class SearchedPair {
public:
    SearchedPair(std::string_view text, std::string_view marker, bool ignoreCase)
        : m_loweredText(ignoreCase ? asciiLower(text) : std::string()),
          m_loweredMarker(ignoreCase ? asciiLower(marker) : std::string()),
          text(ignoreCase ? std::string_view(m_loweredText) : text),
          marker(ignoreCase ? std::string_view(m_loweredMarker) : marker) {}
    SearchedPair(const SearchedPair&) = delete; // the views point into this object
    SearchedPair& operator=(const SearchedPair&) = delete;

private:
    std::string m_loweredText;
    std::string m_loweredMarker;

public:
    const std::string_view text;
    const std::string_view marker;
};

std::size_t findText(std::string_view text, std::string_view marker, std::size_t from, bool ignoreCase) {
    if (marker.empty() || from > text.size())
        return std::string_view::npos;
    const SearchedPair searched(text, marker, ignoreCase);
    text = searched.text;
    marker = searched.marker;
    for (std::size_t at = text.find(marker, from); at != std::string_view::npos;
         at = text.find(marker, at + 1))
        if (isCharacterBoundary(text, at) && isCharacterBoundary(text, at + marker.size()))
            return at;
    return std::string_view::npos;
}

std::size_t findLastText(std::string_view text, std::string_view marker, bool ignoreCase) {
    if (marker.empty() || marker.size() > text.size())
        return std::string_view::npos;
    const SearchedPair searched(text, marker, ignoreCase);
    text = searched.text;
    marker = searched.marker;
    std::size_t at = text.rfind(marker);
    while (at != std::string_view::npos) {
        if (isCharacterBoundary(text, at) && isCharacterBoundary(text, at + marker.size()))
            return at;
        if (at == 0)
            break;
        at = text.rfind(marker, at - 1);
    }
    return std::string_view::npos;
}

std::string_view trimBlanks(std::string_view text) {
    static constexpr std::string_view kIdeographicSpace = "\u3000";
    for (;;) {
        if (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
            text.remove_prefix(1);
        else if (text.starts_with(kIdeographicSpace))
            text.remove_prefix(kIdeographicSpace.size());
        else
            break;
    }
    for (;;) {
        if (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
            text.remove_suffix(1);
        else if (text.ends_with(kIdeographicSpace))
            text.remove_suffix(kIdeographicSpace.size());
        else
            break;
    }
    return text;
}

bool containsIgnoringCase(std::string_view haystack, std::string_view needle) {
    return !needle.empty() && findText(haystack, needle, 0, true) != std::string_view::npos;
}

std::string replaceAll(std::string_view text, std::string_view from, std::string_view to, bool ignoreCase) {
    if (from.empty())
        return std::string(text);
    // Folded once for the whole text, not once per search.
    const SearchedPair searched(text, from, ignoreCase);
    std::string result;
    std::size_t done = 0;
    for (std::size_t at = findText(searched.text, searched.marker, 0, false); at != std::string_view::npos;
         at = findText(searched.text, searched.marker, done, false)) {
        result.append(text.substr(done, at - done));
        result.append(to);
        done = at + from.size();
    }
    result.append(text.substr(done));
    return result;
}

void appendUtf8(std::string& out, char32_t code) {
    if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
        code = 0xFFFD;
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

} // namespace detail

namespace {

using detail::findText;
using detail::isCharacterBoundary;

constexpr std::string_view kUtf32 = "UTF-32LE";

/// iconv's names for the character-set names callers use ("unicode" is UTF-16LE, and "GB2312"
/// means the code page 936 superset, as on the systems these texts come from).
std::string iconvName(std::string_view name) {
    std::string upper(name);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    if (upper == "UNICODE" || upper == "UTF-16")
        return "UTF-16LE";
    if (upper == "GBK" || upper == "GB2312" || upper == "CP936" || upper == "936")
        return "CP936";
    if (upper == "UTF8")
        return "UTF-8";
    return upper;
}

bool isUnicodeName(std::string_view name) {
    return name.starts_with("UTF-") || name.starts_with("UCS-");
}

class Converter {
public:
    Converter(const std::string& to, const std::string& from)
        : m_handle(iconv_open(to.c_str(), from.c_str())) {}
    ~Converter() {
        if (valid())
            iconv_close(m_handle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return m_handle != reinterpret_cast<iconv_t>(-1); }

    /// Converts all of `input`; at a unit iconv rejects, appends `replacement` and skips `skip` bytes.
    std::string run(std::string_view input, std::string_view replacement, std::size_t skip) {
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr); // a reused handle starts afresh
        std::string output;
        std::array<char, 4096> buffer;
        char* in = const_cast<char*>(input.data()); // iconv's signature; it does not write the input
        std::size_t inLeft = input.size();
        for (;;) {
            char* out = buffer.data();
            std::size_t outLeft = buffer.size();
            const std::size_t result = inLeft ? iconv(m_handle, &in, &inLeft, &out, &outLeft)
                                              : iconv(m_handle, nullptr, nullptr, &out, &outLeft);
            const int error = errno;
            output.append(buffer.data(), buffer.size() - outLeft);
            if (result != static_cast<std::size_t>(-1)) {
                if (inLeft == 0)
                    break;
                continue;
            }
            if (error == E2BIG)
                continue;
            // EILSEQ (invalid or unmappable) or EINVAL (cut short at the end): replace and go on.
            output.append(replacement);
            const std::size_t step = std::min(skip, inLeft);
            in += step;
            inLeft -= step;
            iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
            if (inLeft == 0) {
                char* flushOut = buffer.data();
                std::size_t flushLeft = buffer.size();
                iconv(m_handle, nullptr, nullptr, &flushOut, &flushLeft);
                output.append(buffer.data(), buffer.size() - flushLeft);
                break;
            }
        }
        return output;
    }

private:
    iconv_t m_handle;
};

/// Opening a converter loads tables, so each thread keeps the ones it has used (a handle must not
/// be shared between threads).
Converter* converterFor(const std::string& to, const std::string& from) {
    thread_local std::map<std::pair<std::string, std::string>, std::unique_ptr<Converter>> cache;
    auto& slot = cache[{to, from}];
    if (!slot)
        slot = std::make_unique<Converter>(to, from);
    return slot->valid() ? slot.get() : nullptr;
}

/// `text` as UTF-32LE, invalid sequences as U+FFFD; nullopt for an unknown character set.
std::optional<std::string> decodeToUtf32(std::string_view bytes, const std::string& source) {
    Converter* decoder = converterFor(std::string(kUtf32), source);
    if (!decoder)
        return std::nullopt;
    static constexpr char kReplacement[] = {'\xFD', '\xFF', '\0', '\0'};
    // A bad unit of a fixed-width set is skipped whole, so the next one is read in step.
    const std::size_t unit = source.starts_with("UTF-16") || source.starts_with("UCS-2")   ? 2
                             : source.starts_with("UTF-32") || source.starts_with("UCS-4") ? 4
                                                                                           : 1;
    std::string units = decoder->run(bytes, std::string_view(kReplacement, 4), unit);
    if (isUnicodeName(source) && units.size() >= 4 && std::memcmp(units.data(), "\xFF\xFE\0\0", 4) == 0)
        units.erase(0, 4); // a byte-order mark is not text
    return units;
}

std::optional<std::string> encodeFromUtf32(std::string_view units, const std::string& target) {
    Converter* encoder = converterFor(target, std::string(kUtf32));
    if (!encoder)
        return std::nullopt;
    const std::string replacement = encoder->run(std::string_view("?\0\0\0", 4), "?", 4);
    return encoder->run(units, replacement, 4);
}

/// The byte offset of character `position` (from 1); positions below 1 count as 1; npos past the end.
std::size_t byteOffsetOf(std::string_view text, int position) {
    if (position <= 1)
        return 0;
    int counted = 1;
    for (std::size_t i = 1; i <= text.size(); ++i) {
        if (isCharacterBoundary(text, i) && ++counted == position)
            return i;
    }
    return std::string_view::npos;
}

std::string withQuotes(std::string_view marker) {
    return detail::replaceAll(marker, "#引号", "\"");
}

} // namespace

std::string ConvertCharset(std::string_view bytes, std::string_view source, std::string_view target) {
    const std::string from = iconvName(source.empty() ? "UTF-8" : source);
    const std::string to = iconvName(target.empty() ? "GBK" : target);
    if (bytes.empty())
        return {};
    const std::optional<std::string> units = decodeToUtf32(bytes, from);
    if (!units)
        return {};
    return encodeFromUtf32(*units, to).value_or(std::string());
}

std::string DecodeUtf16(std::string_view bytes) {
    return ConvertCharset(bytes, "UTF-16LE", "UTF-8");
}

std::vector<std::string> SplitText(std::string_view text, std::string_view separator) {
    std::vector<std::string> pieces;
    if (text.empty())
        return pieces;
    if (separator.empty())
        return {std::string(text)};
    std::size_t start = 0;
    for (std::size_t at = findText(text, separator, 0, false); at != std::string_view::npos;
         at = findText(text, separator, start, false)) {
        pieces.emplace_back(text.substr(start, at - start));
        start = at + separator.size();
    }
    if (start < text.size())
        pieces.emplace_back(text.substr(start));
    return pieces;
}

std::string TextBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker,
                        int startPosition, bool caseSensitive) {
    const std::string start = withQuotes(startMarker);
    const std::string end = withQuotes(endMarker);
    const std::size_t from = byteOffsetOf(text, startPosition);
    if (from == std::string_view::npos)
        return {};
    const std::size_t startAt = findText(text, start, from, !caseSensitive);
    if (startAt == std::string_view::npos)
        return {};
    const std::size_t begin = startAt + start.size();
    const std::size_t endAt = findText(text, end, begin, !caseSensitive);
    if (endAt == std::string_view::npos)
        return {};
    return std::string(text.substr(begin, endAt - begin));
}

std::string TextBefore(std::string_view text, std::string_view marker, int startPosition,
                       bool caseInsensitive) {
    const std::size_t from = byteOffsetOf(text, startPosition);
    if (from == std::string_view::npos)
        return {};
    const std::size_t at = findText(text, marker, from, caseInsensitive);
    if (at == std::string_view::npos)
        return {};
    return std::string(text.substr(0, at));
}

std::string TextAfterLast(std::string_view text, std::string_view marker, bool caseInsensitive) {
    const std::size_t at = detail::findLastText(text, marker, caseInsensitive);
    if (at == std::string_view::npos)
        return {};
    return std::string(text.substr(at + marker.size()));
}

std::string HeaderName(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return {};
    return std::string(detail::trimBlanks(line.substr(0, colon)));
}

std::string HeaderValue(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return {};
    return std::string(detail::trimBlanks(line.substr(colon + 1)));
}

} // namespace net
