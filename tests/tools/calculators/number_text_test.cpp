#include "tools/calculators/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

using namespace calculators;

namespace {

struct ReadCase {
    const char* name;
    const char* text;
    double expected;
};

class ReadNumberTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadNumberTest, ReadsTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(readNumber(GetParam().text), GetParam().expected) << "text: " << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReadNumberTest,
    testing::Values(
        ReadCase{"Whole", "80", 80}, ReadCase{"Fraction", "8.5", 8.5},
        ReadCase{"UnitAfterNumber", "80元", 80}, ReadCase{"ShownResult", "169.15元", 169.15},
        ReadCase{"LeadingBlanks", " \t 12", 12}, ReadCase{"PlusSign", "+7", 7},
        ReadCase{"MinusSign", "-2.5", -2.5}, ReadCase{"LeadingPoint", ".5", 0.5},
        ReadCase{"TrailingPoint", "5.", 5}, ReadCase{"Exponent", "1.5e3", 1500},
        ReadCase{"ExponentUpperCaseSigned", "2E-2", 0.02},
        ReadCase{"ShownExponent", "1.23457e+006元", 1234570}, ReadCase{"ExponentWithoutDigits", "3e", 3},
        ReadCase{"ExponentSignOnly", "3e+x", 3}, ReadCase{"SecondPointEnds", "1.2.3", 1.2},
        ReadCase{"Empty", "", 0}, ReadCase{"Letters", "abc", 0}, ReadCase{"SignOnly", "-", 0},
        ReadCase{"PointOnly", ".", 0}, ReadCase{"BlanksOnly", "   ", 0},
        ReadCase{"NumberAfterText", "价格80", 0}, ReadCase{"InfinityIsNoNumber", "inf", 0},
        ReadCase{"NanIsNoNumber", "nan", 0}, ReadCase{"HexIsNoNumber", "0x10", 0},
        ReadCase{"FullWidthDigits", "８０", 80}, ReadCase{"FullWidthPointAndSign", "－８．５", -8.5},
        ReadCase{"FullWidthExponent", "１Ｅ２", 100}, ReadCase{"IdeographicSpace", "\u3000\u300099", 99},
        ReadCase{"FullWidthUnitEnds", "８０元", 80}, ReadCase{"MixedWidths", "1２.５0", 12.5},
        ReadCase{"Underflow", "1e-400", 0}, ReadCase{"TinyButRepresentable", "1e-300", 1e-300},
        ReadCase{"MalformedUtf8Ends",
                 "12\xff"
                 "3",
                 12}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(ReadNumberTest, TooLargeReadsAsInfinity) {
    EXPECT_EQ(readNumber("1e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(readNumber("-1e999999999999999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(readNumber(std::string(400, '9')), std::numeric_limits<double>::infinity());
    EXPECT_EQ(readNumber("0.000000001e400"), std::numeric_limits<double>::infinity());
    EXPECT_EQ(readNumber("1000e-400"), 0.0);
}

TEST(ReadNumberTest, SingleAndWholeReadings) {
    EXPECT_EQ(readSingle("0.1"), 0.1f);
    EXPECT_EQ(readSingle("1e39"), std::numeric_limits<float>::infinity());

    struct WholeCase {
        const char* text;
        std::int32_t expected;
    };
    for (const WholeCase& c :
         {WholeCase{"99.9", 99}, WholeCase{"-99.9", -99}, WholeCase{"200", 200}, WholeCase{"abc", 0},
          WholeCase{"", 0}, WholeCase{"３００", 300}, WholeCase{"2147483647", 2147483647},
          WholeCase{"1e10", 2147483647}, WholeCase{"-1e10", -2147483647 - 1}, WholeCase{"1e999", 2147483647}})
        EXPECT_EQ(readWhole(c.text), c.expected) << c.text;
}

TEST(RoundToCentsTest, HalvesGoAwayFromZero) {
    struct Case {
        double value;
        double expected;
    };
    for (const Case& c :
         {Case{2.675, 2.68}, Case{-2.675, -2.68}, Case{1.005, 1.01}, Case{3.333333, 3.33},
          Case{6.655518, 6.66}, Case{0.125, 0.13}, Case{0.124999, 0.12}, Case{12.571428, 12.57},
          Case{0.0, 0.0}, Case{7.0, 7.0}, Case{-0.004, 0.0}, Case{-0.005, -0.01},
          // Beyond the range of a 32-bit integer the cents must survive.
          Case{123456789.125, 123456789.13}, Case{1e300, 1e300}})
        EXPECT_DOUBLE_EQ(roundToCents(c.value), c.expected) << c.value;
    EXPECT_TRUE(std::isinf(roundToCents(std::numeric_limits<double>::infinity())));
}

TEST(FormatNumberTest, SixSignificantDigitsInGeneralNotation) {
    struct Case {
        float value;
        const char* expected;
    };
    for (const Case& c :
         {Case{8.0f, "8"}, Case{169.15f, "169.15"}, Case{125.7f, "125.7"}, Case{3.33f, "3.33"},
          Case{-5.5f, "-5.5"}, Case{0.0f, "0"}, Case{-0.0f, "0"}, Case{100000.0f, "100000"},
          Case{999999.0f, "999999"}, Case{999999.5f, "1e+006"}, Case{1234567.0f, "1.23457e+006"},
          Case{-1234567.0f, "-1.23457e+006"}, Case{12345.67f, "12345.7"}, Case{0.0001f, "0.0001"},
          Case{0.00001f, "1e-005"}, Case{3.0e38f, "3e+038"}, Case{1e-30f, "1e-030"}, Case{0.1f, "0.1"},
          Case{29.85f, "29.85"}})
        EXPECT_EQ(formatNumber(c.value), c.expected) << c.value;
}

} // namespace
