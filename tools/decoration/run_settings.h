#pragma once

// The three settings of the decoration run, as the user types them.

#include <expected>
#include <optional>
#include <string_view>

namespace decoration {

struct RunSettings {
    int actionDelayMs = 500;
    int generationDelayMs = 22000;
    int pages = 20;
};

struct SettingsError {
    enum class Field { ActionDelay, GenerationDelay, Pages };
    Field field = Field::ActionDelay;
    int maximum = 0; ///< the largest value the field takes
};

/// Largest accepted values: an hour for each delay, and a page count that keeps a run within reason.
inline constexpr int kMaximumDelayMs = 3'600'000;
inline constexpr int kMaximumPages = 10'000;

/// A positive whole number from 1 to `maximum`: decimal digits (full-width digits count as theirs),
/// blanks around them allowed, nothing else. Empty when the text is not such a number.
std::optional<int> parsePositiveWholeNumber(std::string_view utf8, int maximum);

/// Reads the three settings; the error names the first field that is not a whole number in range.
std::expected<RunSettings, SettingsError>
parseRunSettings(std::string_view actionDelay, std::string_view generationDelay, std::string_view pages);

} // namespace decoration
