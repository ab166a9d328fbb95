#pragma once

#include <expected>
#include <string>
#include <string_view>

namespace calculators {

/// Why a calculator gives no result. Which box is meant follows from the calculator.
enum class Problem {
    FullPriceEmpty,        // the full price box is empty
    CurrentPriceEmpty,     // the discount-rate calculator's current price box is empty
    DiscountEmpty,         // the discounted-price calculator's discount box is empty
    InputEmpty,            // the full-price calculator: current price or discount empty
    ListedPriceEmpty,      // the final-price calculator's listed price is empty
    FullPriceZero,         // a full price of 0 cannot give a discount rate
    DiscountZero,          // a discount of 0 cannot give a full price
    PlatformThresholdZero, // "no upper limit" divides the price by the platform threshold
    ShopThresholdZero,     // ... and by the shop threshold
    NotFinite,             // the result is too large (or not a number at all) for a price
};

struct DiscountRate {
    float discount; // in 折, two decimal places
    float saving;   // in yuan
};

/// Which discount a cut from `fullPrice` to `currentPrice` amounts to, and how much it saves.
std::expected<DiscountRate, Problem> discountRate(std::string_view fullPrice, std::string_view currentPrice);

struct DiscountedPrice {
    float price;  // in yuan, two decimal places
    float saving; // the full price minus the price as shown, so the two shown figures add up
};

/// What a discount of `discount` 折 makes of `fullPrice`.
std::expected<DiscountedPrice, Problem> discountedPrice(std::string_view fullPrice,
                                                        std::string_view discount);

/// The price before a discount of `discount` 折 turned it into `currentPrice`.
std::expected<float, Problem> fullPrice(std::string_view currentPrice, std::string_view discount);

/// The final-price calculator's boxes and switches, as the widgets hold them.
struct FinalPriceInput {
    std::string_view listedPrice;
    std::string_view coupon1Threshold, coupon1Amount;
    std::string_view coupon2Threshold, coupon2Amount;
    std::string_view coupon3Threshold, coupon3Amount;
    std::string_view platformThreshold, platformAmount;
    std::string_view shopThreshold, shopAmount;
    bool useCoupons = true;
    bool noUpperLimit = true;
    bool platformOffer = true;
    bool shopOffer = false;
};

/// What the buyer pays after the best coupon and the full-reduction offers; may be negative.
std::expected<float, Problem> finalPrice(const FinalPriceInput& input);

/// The result as the boxes show it: the number and its unit ("折" or "元").
std::string resultText(float value, std::string_view unit);

} // namespace calculators
