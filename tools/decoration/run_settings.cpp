#include "tools/decoration/run_settings.h"

#include <cstdint>

namespace decoration {
namespace {

constexpr std::string_view kFullWidthSpace = "\xE3\x80\x80";
constexpr std::string_view kFullWidthDigitLead = "\xEF\xBC"; // U+FF10..U+FF19 are EF BC 90..99

std::string_view withoutBlanks(std::string_view text) {
    for (bool changed = true; changed;) {
        changed = false;
        if (text.starts_with(' ') || text.starts_with('\t')) {
            text.remove_prefix(1);
            changed = true;
        } else if (text.starts_with(kFullWidthSpace)) {
            text.remove_prefix(kFullWidthSpace.size());
            changed = true;
        }
        if (text.ends_with(' ') || text.ends_with('\t')) {
            text.remove_suffix(1);
            changed = true;
        } else if (text.ends_with(kFullWidthSpace)) {
            text.remove_suffix(kFullWidthSpace.size());
            changed = true;
        }
    }
    return text;
}

} // namespace

std::optional<int> parsePositiveWholeNumber(std::string_view utf8, int maximum) {
    std::string_view text = withoutBlanks(utf8);
    if (text.empty())
        return std::nullopt;
    std::int64_t value = 0;
    while (!text.empty()) {
        int digit = 0;
        if (text.front() >= '0' && text.front() <= '9') {
            digit = text.front() - '0';
            text.remove_prefix(1);
        } else if (text.size() >= 3 && text.starts_with(kFullWidthDigitLead) &&
                   static_cast<unsigned char>(text[2]) >= 0x90 &&
                   static_cast<unsigned char>(text[2]) <= 0x99) {
            digit = static_cast<unsigned char>(text[2]) - 0x90;
            text.remove_prefix(3);
        } else {
            return std::nullopt;
        }
        value = value * 10 + digit;
        if (value > maximum)
            return std::nullopt; // also keeps a long row of digits from overflowing
    }
    if (value < 1)
        return std::nullopt;
    return static_cast<int>(value);
}

std::expected<RunSettings, SettingsError>
parseRunSettings(std::string_view actionDelay, std::string_view generationDelay, std::string_view pages) {
    RunSettings settings;
    if (const auto value = parsePositiveWholeNumber(actionDelay, kMaximumDelayMs))
        settings.actionDelayMs = *value;
    else
        return std::unexpected(SettingsError{SettingsError::Field::ActionDelay, kMaximumDelayMs});
    if (const auto value = parsePositiveWholeNumber(generationDelay, kMaximumDelayMs))
        settings.generationDelayMs = *value;
    else
        return std::unexpected(SettingsError{SettingsError::Field::GenerationDelay, kMaximumDelayMs});
    if (const auto value = parsePositiveWholeNumber(pages, kMaximumPages))
        settings.pages = *value;
    else
        return std::unexpected(SettingsError{SettingsError::Field::Pages, kMaximumPages});
    return settings;
}

} // namespace decoration
