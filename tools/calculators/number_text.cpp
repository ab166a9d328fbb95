#include "tools/calculators/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace calculators {
namespace {

// Decodes one UTF-8 sequence at `pos`; returns the code point and advances `pos`, or returns -1 for a
// malformed sequence (which simply ends the number).
long nextCodePoint(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    int length = 0;
    long codePoint = 0;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2;
        codePoint = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        codePoint = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        codePoint = lead & 0x07;
    } else {
        return -1;
    }
    if (pos + length > text.size())
        return -1;
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + i]);
        if ((next & 0xC0) != 0x80)
            return -1;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    pos += length;
    return codePoint;
}

// The text as plain ASCII, full-width forms folded, up to the first character that can be no part of a
// number anyway.
std::string foldToAscii(std::string_view text) {
    std::string ascii;
    ascii.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const long codePoint = nextCodePoint(text, pos);
        if (codePoint >= 0 && codePoint < 0x80)
            ascii.push_back(static_cast<char>(codePoint));
        else if (codePoint >= 0xFF01 && codePoint <= 0xFF5E)
            ascii.push_back(static_cast<char>(codePoint - 0xFF01 + 0x21));
        else if (codePoint == 0x3000)
            ascii.push_back(' ');
        else
            break;
    }
    return ascii;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

double readNumber(std::string_view text) {
    const std::string s = foldToAscii(text);
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i]))
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    std::size_t digits = 0;
    // Where the first significant digit stands relative to the decimal point (10^decimalPlace).
    long long decimalPlace = 0;
    bool seenSignificant = false;
    std::size_t integerDigits = 0;
    for (; i < s.size() && isDigit(s[i]); ++i, ++digits, ++integerDigits) {
        if (!seenSignificant && s[i] != '0') {
            seenSignificant = true;
            decimalPlace = -1; // fixed below once the integer part's length is known
        }
        if (seenSignificant)
            ++decimalPlace;
    }
    if (i < s.size() && s[i] == '.') {
        ++i;
        for (long long place = -1; i < s.size() && isDigit(s[i]); ++i, ++digits, --place) {
            if (!seenSignificant && s[i] != '0') {
                seenSignificant = true;
                decimalPlace = place;
            }
        }
    }
    if (digits == 0)
        return 0.0;
    long long exponent = 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            negativeExponent = s[j] == '-';
            ++j;
        }
        if (j < s.size() && isDigit(s[j])) {
            for (; j < s.size() && isDigit(s[j]); ++j)
                exponent = std::min(exponent * 10 + (s[j] - '0'), 1'000'000'000LL);
            if (negativeExponent)
                exponent = -exponent;
            i = j;
        }
    }
    if (!seenSignificant)
        return negative ? -0.0 : 0.0;

    double magnitude = 0.0;
    const auto [end, error] = std::from_chars(s.data() + start, s.data() + i, magnitude);
    if (error == std::errc::result_out_of_range) {
        // Beyond double's range: as large a number as there is, or as small.
        magnitude = decimalPlace + exponent >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (error != std::errc{} || end != s.data() + i) {
        return 0.0;
    }
    return negative ? -magnitude : magnitude;
}

float readSingle(std::string_view text) {
    return static_cast<float>(readNumber(text));
}

std::int32_t readWhole(std::string_view text) {
    const double value = std::trunc(readNumber(text));
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(value))
        return 0;
    if (value <= lowest)
        return std::numeric_limits<std::int32_t>::min();
    if (value >= highest)
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(value);
}

double roundToCents(double value) {
    const bool negative = value < 0;
    const double scaled = std::fabs(value) * 100.0 + 1e-12;
    // Floor in double, not a cast to int: prices beyond 21 million yuan must not wrap around.
    double whole = std::floor(scaled);
    if (scaled - whole >= 0.5)
        whole += 1.0;
    const double result = whole / 100.0;
    return negative ? -result : result;
}

std::string formatNumber(float value) {
    if (value == 0.0f)
        return "0"; // also for -0, which only says the inputs were zero
    char buffer[64];
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    if (error != std::errc{})
        return {};
    std::string text(buffer, end);
    // Exponents are written with a sign and three digits: e+06 becomes e+006.
    if (const std::size_t e = text.find('e'); e != std::string::npos) {
        const std::size_t firstDigit = e + 2;
        const std::size_t exponentDigits = text.size() - firstDigit;
        if (exponentDigits < 3)
            text.insert(firstDigit, 3 - exponentDigits, '0');
    }
    return text;
}

} // namespace calculators
