#include "tools/decoration/run_settings.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using decoration::SettingsError;
using Field = SettingsError::Field;

TEST(RunSettingsTest, PositiveWholeNumbers) {
    struct Row {
        const char* text;
        std::optional<int> value;
    };
    const Row rows[] = {
        {"500", 500},
        {"1", 1},
        {"  220\t", 220},
        {"\xE3\x80\x80"
         "20"
         "\xE3\x80\x80",
         20},                             // full-width blanks
        {"\xEF\xBC\x92\xEF\xBC\x90", 20}, // full-width digits
        {"007", 7},
        {"1000", 1000}, // the maximum of this row set
        {"1001", std::nullopt},
        {"0", std::nullopt},
        {"000", std::nullopt},
        {"-5", std::nullopt},
        {"+5", std::nullopt},
        {"5.0", std::nullopt},
        {"1e3", std::nullopt},
        {"5 0", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"abc", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"\xEF\xBC", std::nullopt}, // a cut full-width character
        {"五", std::nullopt},
    };
    for (const Row& row : rows)
        EXPECT_EQ(decoration::parsePositiveWholeNumber(row.text, 1000), row.value) << row.text;
}

TEST(RunSettingsTest, TheFirstFaultyFieldIsNamed) {
    const auto settings = decoration::parseRunSettings("500", "22000", "20");
    ASSERT_TRUE(settings.has_value());
    EXPECT_EQ(settings->actionDelayMs, 500);
    EXPECT_EQ(settings->generationDelayMs, 22000);
    EXPECT_EQ(settings->pages, 20);

    struct Row {
        const char* action;
        const char* generation;
        const char* pages;
        Field field;
        int maximum;
    };
    const Row rows[] = {
        {"0", "22000", "20", Field::ActionDelay, decoration::kMaximumDelayMs},
        {"x", "y", "z", Field::ActionDelay, decoration::kMaximumDelayMs},
        {"500", "", "20", Field::GenerationDelay, decoration::kMaximumDelayMs},
        {"500", "3600001", "20", Field::GenerationDelay, decoration::kMaximumDelayMs},
        {"500", "22000", "0", Field::Pages, decoration::kMaximumPages},
        {"500", "22000", "10001", Field::Pages, decoration::kMaximumPages},
    };
    for (const Row& row : rows) {
        const auto refused = decoration::parseRunSettings(row.action, row.generation, row.pages);
        ASSERT_FALSE(refused.has_value()) << row.action << "/" << row.generation << "/" << row.pages;
        EXPECT_EQ(refused.error().field, row.field);
        EXPECT_EQ(refused.error().maximum, row.maximum);
    }
    EXPECT_TRUE(decoration::parseRunSettings("3600000", "3600000", "10000").has_value());
}

} // namespace
