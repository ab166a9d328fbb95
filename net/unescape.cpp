// UnescapeText: a plain decoder in three passes that give the results a script engine would give
// for "unescape('<text>')", without ever handing the text to one. Anything that is not a complete
// escape is copied unchanged.
#include "net/text.h"

#include "net/text_internal.h"

#include <string>

namespace net {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

int hexValue(char16_t c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

/// The value of `count` hex digits at `at`, or -1 when they are not all there.
long hexAt(const std::u16string& units, std::size_t at, std::size_t count) {
    if (at + count > units.size())
        return -1;
    long value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const int digit = hexValue(units[at + i]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

void appendCodePoint(std::u16string& out, char32_t code) {
    if (code < 0x10000) {
        out.push_back(static_cast<char16_t>(code));
    } else {
        code -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
    }
}

/// UTF-8 to UTF-16; each byte that does not start a well-formed sequence becomes U+FFFD.
std::u16string toUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        char32_t code = 0;
        char32_t minimum = 0;
        if (byte < 0x80) {
            length = 1;
            code = byte;
        } else if (byte >= 0xC2 && byte <= 0xDF) {
            length = 2;
            code = byte & 0x1F;
            minimum = 0x80;
        } else if (byte >= 0xE0 && byte <= 0xEF) {
            length = 3;
            code = byte & 0x0F;
            minimum = 0x800;
        } else if (byte >= 0xF0 && byte <= 0xF4) {
            length = 4;
            code = byte & 0x07;
            minimum = 0x10000;
        }
        bool wellFormed = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; wellFormed && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                wellFormed = false;
            else
                code = (code << 6) | (next & 0x3F);
        }
        if (wellFormed && (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)))
            wellFormed = false;
        if (!wellFormed) {
            out.push_back(kReplacement);
            ++i;
            continue;
        }
        appendCodePoint(out, code);
        i += length;
    }
    return out;
}

std::string toUtf8(const std::u16string& units) {
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            detail::appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else {
            detail::appendUtf8(out, unit); // a lone surrogate comes out as U+FFFD
        }
    }
    return out;
}

/// "\uXXXX" becomes "%uXXXX", so that the percent pass decodes it (also after an escaped backslash,
/// exactly as a textual replacement ahead of the script would).
void markUnicodeEscapes(std::u16string& units) {
    for (std::size_t i = 0; i + 1 < units.size(); ++i)
        if (units[i] == '\\' && units[i + 1] == 'u' && hexAt(units, i + 2, 4) >= 0)
            units[i] = '%';
}

/// The control character that a backslash and `letter` stand for (\b \f \n \r \t \v), or 0.
char16_t controlEscape(char16_t letter) {
    switch (letter) {
    case 'b':
        return u'\b';
    case 'f':
        return u'\f';
    case 'n':
        return u'\n';
    case 'r':
        return u'\r';
    case 't':
        return u'\t';
    case 'v':
        return u'\v';
    default:
        return 0;
    }
}

/// The backslash escapes of a single-quoted string literal.
std::u16string decodeLiteralEscapes(const std::u16string& units) {
    std::u16string out;
    out.reserve(units.size());
    std::size_t i = 0;
    while (i < units.size()) {
        if (units[i] != '\\' || i + 1 >= units.size()) {
            out.push_back(units[i++]);
            continue;
        }
        const char16_t next = units[i + 1];
        if (const char16_t control = controlEscape(next)) {
            out.push_back(control);
            i += 2;
            continue;
        }
        switch (next) {
        case 'x': {
            const long value = hexAt(units, i + 2, 2);
            if (value < 0) {
                out.push_back(units[i++]); // malformed: the backslash stays and so does the rest
                continue;
            }
            out.push_back(static_cast<char16_t>(value));
            i += 4;
            continue;
        }
        case 'u': // only a malformed one is left here
            out.push_back(units[i++]);
            continue;
        default:
            break;
        }
        if (next >= '0' && next <= '7') {
            // Legacy octal: up to three digits while the value stays below 256.
            unsigned value = 0;
            std::size_t k = i + 1;
            const std::size_t limit = next <= '3' ? 3 : 2;
            while (k < units.size() && k - (i + 1) < limit && units[k] >= '0' && units[k] <= '7')
                value = value * 8 + (units[k++] - '0');
            out.push_back(static_cast<char16_t>(value));
            i = k;
            continue;
        }
        out.push_back(next); // any other escaped character stands for itself: \' \" \\ \/ ...
        i += 2;
    }
    return out;
}

/// "%uXXXX" and "%XX" become the code units they name.
std::u16string decodePercentEscapes(const std::u16string& units) {
    std::u16string out;
    out.reserve(units.size());
    std::size_t i = 0;
    while (i < units.size()) {
        if (units[i] == '%') {
            if (i + 1 < units.size() && units[i + 1] == 'u') {
                if (const long value = hexAt(units, i + 2, 4); value >= 0) {
                    out.push_back(static_cast<char16_t>(value));
                    i += 6;
                    continue;
                }
            } else if (const long value = hexAt(units, i + 1, 2); value >= 0) {
                out.push_back(static_cast<char16_t>(value));
                i += 3;
                continue;
            }
        }
        out.push_back(units[i++]);
    }
    return out;
}

} // namespace

std::string UnescapeText(std::string_view text) {
    // A lone CR at the very start is dropped, as this decoder always has; every other CR and LF stays.
    if (text.size() >= 1 && text[0] == '\r' && !(text.size() >= 2 && text[1] == '\n'))
        text.remove_prefix(1);
    std::u16string units = toUtf16(text);
    markUnicodeEscapes(units);
    return toUtf8(decodePercentEscapes(decodeLiteralEscapes(units)));
}

} // namespace net
