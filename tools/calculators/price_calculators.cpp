#include "tools/calculators/price_calculators.h"

#include "tools/calculators/number_text.h"

#include <cmath>

namespace calculators {
namespace {

// Thresholds are compared with a small tolerance, so a price typed as 199 meets a threshold of 199
// even after its trip through single precision.
constexpr double kTolerance = 1e-7;

bool atLeast(double price, double threshold) {
    return price - threshold >= -kTolerance;
}

bool moreThan(double price, double threshold) {
    return price - threshold > kTolerance;
}

bool lessThan(double price, double threshold) {
    return price - threshold < -kTolerance;
}

bool allFinite(std::initializer_list<float> values) {
    for (const float value : values) {
        if (!std::isfinite(value))
            return false;
    }
    return true;
}

} // namespace

std::expected<DiscountRate, Problem> discountRate(std::string_view fullPrice, std::string_view currentPrice) {
    if (fullPrice.empty())
        return std::unexpected(Problem::FullPriceEmpty);
    if (currentPrice.empty())
        return std::unexpected(Problem::CurrentPriceEmpty);
    const float current = readSingle(currentPrice);
    const float full = readSingle(fullPrice);
    if (full == 0.0f)
        return std::unexpected(Problem::FullPriceZero);
    const auto discount = static_cast<float>(roundToCents(static_cast<double>(current) / full * 10.0));
    const auto saving = static_cast<float>(static_cast<double>(full) - current);
    if (!allFinite({discount, saving}))
        return std::unexpected(Problem::NotFinite);
    return DiscountRate{discount, saving};
}

std::expected<DiscountedPrice, Problem> discountedPrice(std::string_view fullPrice,
                                                        std::string_view discount) {
    if (fullPrice.empty())
        return std::unexpected(Problem::FullPriceEmpty);
    if (discount.empty())
        return std::unexpected(Problem::DiscountEmpty);
    const float full = readSingle(fullPrice);
    const float tenths = readSingle(discount);
    const auto price = static_cast<float>(roundToCents(static_cast<double>(full) * tenths / 10.0));
    if (!std::isfinite(price))
        return std::unexpected(Problem::NotFinite);
    // The saving is taken from the price as shown, so that the two figures on screen add up.
    const float shownPrice = readSingle(formatNumber(price));
    const auto saving = static_cast<float>(static_cast<double>(full) - shownPrice);
    if (!std::isfinite(saving))
        return std::unexpected(Problem::NotFinite);
    return DiscountedPrice{price, saving};
}

std::expected<float, Problem> fullPrice(std::string_view currentPrice, std::string_view discount) {
    if (currentPrice.empty() || discount.empty())
        return std::unexpected(Problem::InputEmpty);
    const float current = readSingle(currentPrice);
    const float tenths = readSingle(discount);
    if (tenths == 0.0f)
        return std::unexpected(Problem::DiscountZero);
    // Rounding before the factor ten leaves at most one decimal place: 88 at 7 折 is 125.7.
    const auto full = static_cast<float>(roundToCents(static_cast<double>(current) / tenths) * 10.0);
    if (!std::isfinite(full))
        return std::unexpected(Problem::NotFinite);
    return full;
}

std::expected<float, Problem> finalPrice(const FinalPriceInput& in) {
    if (in.listedPrice.empty())
        return std::unexpected(Problem::ListedPriceEmpty);
    const double price = readSingle(in.listedPrice);

    std::int32_t coupon = 0;
    if (in.useCoupons) {
        const double c1 = readWhole(in.coupon1Threshold);
        const double c2 = readWhole(in.coupon2Threshold);
        const double c3 = readWhole(in.coupon3Threshold);
        // Later tiers overwrite earlier ones: one coupon only, the highest tier reached.
        if (atLeast(price, c1) && lessThan(price, c2))
            coupon = readWhole(in.coupon1Amount);
        if (moreThan(price, c1) && atLeast(price, c2))
            coupon = readWhole(in.coupon2Amount);
        if (moreThan(price, c1) && moreThan(price, c2) && atLeast(price, c3))
            coupon = readWhole(in.coupon3Amount);
    }

    double platformTimes = 0;
    if (in.platformOffer)
        platformTimes = atLeast(price, readWhole(in.platformThreshold)) ? 1 : 0;
    double shopTimes = 0;
    if (in.shopOffer)
        shopTimes = atLeast(price, readWhole(in.shopThreshold)) ? 1 : 0;

    // Without an upper limit an offer applies once for every full threshold the price contains.
    const double exactPrice = readNumber(in.listedPrice);
    if (in.shopOffer && in.noUpperLimit) {
        const double threshold = readNumber(in.shopThreshold);
        if (threshold == 0.0)
            return std::unexpected(Problem::ShopThresholdZero);
        shopTimes = std::trunc(exactPrice / threshold);
    }
    if (in.platformOffer && in.noUpperLimit) {
        const double threshold = readNumber(in.platformThreshold);
        if (threshold == 0.0)
            return std::unexpected(Problem::PlatformThresholdZero);
        platformTimes = std::trunc(exactPrice / threshold);
    }

    const auto reductions = static_cast<float>(platformTimes * readWhole(in.platformAmount) +
                                               shopTimes * readWhole(in.shopAmount));
    const auto result = static_cast<float>(price - static_cast<float>(coupon) - reductions);
    if (!allFinite({reductions, result}))
        return std::unexpected(Problem::NotFinite);
    return result;
}

std::string resultText(float value, std::string_view unit) {
    std::string text = formatNumber(value);
    text.append(unit);
    return text;
}

} // namespace calculators
