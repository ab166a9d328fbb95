#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace calculators {

/// Reads a decimal number from the start of a box's UTF-8 text, the way the calculators read their
/// boxes: leading blanks, an optional sign, digits with an optional fraction and an optional exponent;
/// reading stops at the first character that does not fit, and a text that does not start with a number
/// reads as 0. Full-width forms (U+FF01 to U+FF5E) count as ASCII and U+3000 as a blank.
/// Too large a magnitude reads as an infinity, too small a one as 0.
double readNumber(std::string_view text);

/// The number brought to single precision, as the calculators keep their inputs.
float readSingle(std::string_view text);

/// The number truncated toward zero to a 32-bit integer; values beyond the range saturate.
std::int32_t readWhole(std::string_view text);

/// Two decimal places, halves away from zero; a small nudge makes 2.675 (held slightly low) give 2.68.
double roundToCents(double value);

/// Six significant digits in general notation, with a signed three-digit exponent outside
/// 1e-5..1e6 (1234567 gives "1.23457e+006"). Meant for finite values.
std::string formatNumber(float value);

} // namespace calculators
