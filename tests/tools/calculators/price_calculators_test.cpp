#include "tools/calculators/price_calculators.h"

#include <gtest/gtest.h>

#include <string>

using namespace calculators;

namespace {

// Results are compared as the boxes show them, which is what the shop operator reads.
template <class T>
std::string shown(const std::expected<T, Problem>& result, float T::*member, const char* unit) {
    return result ? resultText((*result).*member, unit) : std::string("problem");
}

std::string shown(const std::expected<float, Problem>& result) {
    return result ? resultText(*result, "元") : std::string("problem");
}

TEST(DiscountRateTest, Examples) {
    struct Case {
        const char* full;
        const char* current;
        const char* discount;
        const char* saving;
    };
    for (const Case& c : {Case{"100", "80", "8折", "20元"}, Case{"3", "1", "3.33折", "2元"},
                          Case{"299", "199", "6.66折", "100元"}, Case{"１００", "８０", "8折", "20元"},
                          Case{"80", "100", "12.5折", "-20元"}, Case{"100", "abc", "0折", "100元"},
                          Case{"100元", " 79.9", "7.99折", "20.1元"}}) {
        const auto result = discountRate(c.full, c.current);
        EXPECT_EQ(shown(result, &DiscountRate::discount, "折"), c.discount) << c.full << " / " << c.current;
        EXPECT_EQ(shown(result, &DiscountRate::saving, "元"), c.saving) << c.full << " / " << c.current;
    }
}

TEST(DiscountedPriceTest, Examples) {
    struct Case {
        const char* full;
        const char* discount;
        const char* price;
        const char* saving;
    };
    for (const Case& c :
         {Case{"100", "8", "80元", "20元"}, Case{"199", "8.5", "169.15元", "29.85元"},
          Case{"26.75", "1", "2.68元", "24.07元"}, Case{"９９", "９．５", "94.05元", "4.95元"},
          // The saving is taken from the price as shown (six digits), so both add up.
          Case{"1234567", "5", "617284元", "617283元"},
          Case{"12345.67", "10", "12345.7元", "-0.0302734元"}}) {
        const auto result = discountedPrice(c.full, c.discount);
        EXPECT_EQ(shown(result, &DiscountedPrice::price, "元"), c.price) << c.full << " at " << c.discount;
        EXPECT_EQ(shown(result, &DiscountedPrice::saving, "元"), c.saving) << c.full << " at " << c.discount;
    }
}

TEST(FullPriceTest, Examples) {
    struct Case {
        const char* current;
        const char* discount;
        const char* full;
    };
    for (const Case& c : {Case{"88", "7", "125.7元"}, Case{"80", "8", "100元"}, Case{"100", "3", "333.3元"},
                          Case{"８８", "７", "125.7元"}, Case{"1234567", "1", "1.23457e+007元"}})
        EXPECT_EQ(shown(fullPrice(c.current, c.discount)), c.full) << c.current << " at " << c.discount;
}

struct ProblemCase {
    const char* name;
    std::expected<float, Problem> (*run)();
    Problem expected;
};

class CalculatorProblemTest : public testing::TestWithParam<ProblemCase> {};

TEST_P(CalculatorProblemTest, GivesNoResult) {
    const auto result = GetParam().run();
    ASSERT_FALSE(result.has_value()) << "got " << *result;
    EXPECT_EQ(result.error(), GetParam().expected);
}

// Each calculator boiled down to one float, so the table can hold them all.
std::expected<float, Problem> rate(const char* full, const char* current) {
    const auto result = discountRate(full, current);
    return result ? std::expected<float, Problem>(result->discount) : std::unexpected(result.error());
}
std::expected<float, Problem> cut(const char* full, const char* discount) {
    const auto result = discountedPrice(full, discount);
    return result ? std::expected<float, Problem>(result->price) : std::unexpected(result.error());
}
std::expected<float, Problem> finalOf(const char* price) {
    FinalPriceInput input;
    input.listedPrice = price;
    input.useCoupons = false;
    input.platformOffer = false;
    return finalPrice(input);
}

Problem problemOf(const std::expected<float, Problem>& result) {
    EXPECT_FALSE(result.has_value());
    return result ? Problem::NotFinite : result.error();
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, CalculatorProblemTest,
    testing::Values(
        // Empty boxes, looked at in the order the operator reads them.
        ProblemCase{"RateFullPriceEmpty", [] { return rate("", ""); }, Problem::FullPriceEmpty},
        ProblemCase{"RateCurrentPriceEmpty", [] { return rate("100", ""); }, Problem::CurrentPriceEmpty},
        ProblemCase{"CutFullPriceEmpty", [] { return cut("", "8"); }, Problem::FullPriceEmpty},
        ProblemCase{"CutDiscountEmpty", [] { return cut("100", ""); }, Problem::DiscountEmpty},
        ProblemCase{"FullCurrentEmpty", [] { return fullPrice("", "8"); }, Problem::InputEmpty},
        ProblemCase{"FullDiscountEmpty", [] { return fullPrice("80", ""); }, Problem::InputEmpty},
        ProblemCase{"FinalPriceEmpty", [] { return finalOf(""); }, Problem::ListedPriceEmpty},
        // Divisors of zero, typed or read from text that is no number.
        ProblemCase{"RateFullPriceZero", [] { return rate("0", "80"); }, Problem::FullPriceZero},
        ProblemCase{"RateFullPriceLetters", [] { return rate("abc", "80"); }, Problem::FullPriceZero},
        ProblemCase{"RateBothZero", [] { return rate("0", "0"); }, Problem::FullPriceZero},
        ProblemCase{"FullDiscountZero", [] { return fullPrice("80", "0"); }, Problem::DiscountZero},
        ProblemCase{"FullDiscountBlank", [] { return fullPrice("80", " "); }, Problem::DiscountZero},
        // Results beyond what a price can hold.
        ProblemCase{"RateHugeRatio", [] { return rate("1e-40", "1e30"); }, Problem::NotFinite},
        ProblemCase{"RateInfinitePrices", [] { return rate("1e39", "1e39"); }, Problem::NotFinite},
        ProblemCase{"RateHugeSaving", [] { return rate("3e38", "-3e38"); }, Problem::NotFinite},
        ProblemCase{"CutHugePrice", [] { return cut("3e38", "100"); }, Problem::NotFinite},
        ProblemCase{"CutInfinitePrice", [] { return cut("1e400", "8"); }, Problem::NotFinite},
        ProblemCase{"FullHugePrice", [] { return fullPrice("3e38", "0.1"); }, Problem::NotFinite},
        ProblemCase{"FinalInfinitePrice", [] { return finalOf("1e39"); }, Problem::NotFinite}),
    [](const testing::TestParamInfo<ProblemCase>& info) { return std::string(info.param.name); });

// The defaults of the final-price calculator's boxes and switches.
FinalPriceInput defaults(const char* price) {
    return FinalPriceInput{.listedPrice = price,
                           .coupon1Threshold = "99",
                           .coupon1Amount = "5",
                           .coupon2Threshold = "199",
                           .coupon2Amount = "10",
                           .coupon3Threshold = "299",
                           .coupon3Amount = "20",
                           .platformThreshold = "200",
                           .platformAmount = "20",
                           .shopThreshold = "300",
                           .shopAmount = "10",
                           .useCoupons = true,
                           .noUpperLimit = true,
                           .platformOffer = true,
                           .shopOffer = false};
}

struct FinalCase {
    const char* name;
    const char* price;
    bool noUpperLimit;
    bool shopOffer;
    const char* expected;
};

class FinalPriceTest : public testing::TestWithParam<FinalCase> {};

TEST_P(FinalPriceTest, WithDefaultOffers) {
    FinalPriceInput input = defaults(GetParam().price);
    input.noUpperLimit = GetParam().noUpperLimit;
    input.shopOffer = GetParam().shopOffer;
    EXPECT_EQ(shown(finalPrice(input)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Prices, FinalPriceTest,
    testing::Values(FinalCase{"Coupon3AndPlatformTwice", "450", true, false, "390元"},
                    FinalCase{"Coupon1Only", "150", true, false, "145元"},
                    FinalCase{"Coupon2AtItsThreshold", "199", true, false, "189元"},
                    FinalCase{"BelowEveryThreshold", "98.9", true, false, "98.9元"},
                    FinalCase{"Coupon1AtItsThreshold", "99", true, false, "94元"},
                    FinalCase{"Coupon3AndPlatformFiveTimes", "1000", true, false, "880元"},
                    FinalCase{"PlatformOnceWithLimit", "450", false, false, "410元"},
                    FinalCase{"PlatformOnceWithLimitLarge", "1000", false, false, "960元"},
                    FinalCase{"ShopOnceWithoutLimit", "450", true, true, "380元"},
                    FinalCase{"ShopOnceWithLimit", "450", false, true, "400元"},
                    FinalCase{"ShopThriceWithoutLimit", "1000", true, true, "850元"},
                    FinalCase{"ShopOnceWithLimitLarge", "1000", false, true, "950元"},
                    FinalCase{"FullWidthPrice", "４５０", true, false, "390元"},
                    FinalCase{"LettersReadAsZero", "abc", true, false, "0元"},
                    FinalCase{"JustBelowPlatformThreshold", "199.99", true, false, "189.99元"},
                    FinalCase{"PlatformThresholdReached", "200", true, false, "170元"}),
    [](const testing::TestParamInfo<FinalCase>& info) { return std::string(info.param.name); });

TEST(FinalPriceTest, SwitchesAndWholeNumberInputs) {
    FinalPriceInput noCoupons = defaults("450");
    noCoupons.useCoupons = false;
    EXPECT_EQ(shown(finalPrice(noCoupons)), "410元");

    FinalPriceInput noPlatform = defaults("450");
    noPlatform.platformOffer = false;
    EXPECT_EQ(shown(finalPrice(noPlatform)), "430元") << "上不封顶 alone applies no offer";

    // Thresholds and amounts count as whole numbers: 满99.9减5.9 is 满99减5.
    FinalPriceInput fractions = defaults("99.5");
    fractions.coupon1Threshold = "99.9";
    fractions.coupon1Amount = "5.9";
    EXPECT_EQ(shown(finalPrice(fractions)), "94.5元");

    // A coupon larger than the price leaves a negative price, shown as such.
    FinalPriceInput bigCoupon = defaults("100");
    bigCoupon.coupon1Amount = "150";
    EXPECT_EQ(shown(finalPrice(bigCoupon)), "-50元");

    // A result of a million or more is shown in exponent notation.
    FinalPriceInput large = defaults("1234567");
    large.useCoupons = false;
    large.platformOffer = false;
    EXPECT_EQ(shown(finalPrice(large)), "1.23457e+006元");

    // Coupon thresholds that are not ascending: the later matching test wins.
    FinalPriceInput unordered = defaults("250");
    unordered.coupon2Threshold = "300";
    EXPECT_EQ(shown(finalPrice(unordered)), "225元") << "coupon 1 (5) and platform once (20)";
}

TEST(FinalPriceTest, ZeroThresholdsWithoutUpperLimit) {
    FinalPriceInput platformZero = defaults("450");
    platformZero.platformThreshold = "0";
    EXPECT_EQ(problemOf(finalPrice(platformZero)), Problem::PlatformThresholdZero);

    FinalPriceInput shopZero = defaults("450");
    shopZero.shopOffer = true;
    shopZero.shopThreshold = "";
    EXPECT_EQ(problemOf(finalPrice(shopZero)), Problem::ShopThresholdZero);

    // Nothing is divided when the offer is off or has its limit: no problem then.
    FinalPriceInput shopOff = defaults("450");
    shopOff.shopThreshold = "0";
    EXPECT_EQ(shown(finalPrice(shopOff)), "390元");
    FinalPriceInput limited = defaults("450");
    limited.noUpperLimit = false;
    limited.platformThreshold = "0";
    EXPECT_EQ(shown(finalPrice(limited)), "410元");

    // A threshold below one yuan is no zero: it divides as typed, 满0.5减1 applies 900 times.
    FinalPriceInput half = defaults("450");
    half.useCoupons = false;
    half.platformThreshold = "0.5";
    half.platformAmount = "1";
    EXPECT_EQ(shown(finalPrice(half)), "-450元");
}

TEST(FinalPriceTest, HugeValuesNeverOverflowIntegers) {
    // Three thousand million times the largest whole amount: counted and summed in double, where
    // 32-bit integers would wrap around to a harmless-looking figure.
    FinalPriceInput input = defaults("3e9");
    input.useCoupons = false;
    input.platformThreshold = "1";
    input.platformAmount = "1e12"; // saturates at 2147483647
    const auto result = finalPrice(input);
    ASSERT_TRUE(result.has_value());
    EXPECT_NEAR(*result, -6.4424509e18, 1e12);
}

} // namespace
