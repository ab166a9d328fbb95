#include "qr/detail/mask_helper.h"
#include "qr/detail/mask_scorer.h"
#include "qr/detail/qr_encoder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using namespace qr::detail;

ByteMatrix fromRows(const std::vector<std::string>& rows) {
    ByteMatrix matrix(static_cast<int>(rows.front().size()), static_cast<int>(rows.size()));
    for (int y = 0; y < matrix.height(); ++y) {
        for (int x = 0; x < matrix.width(); ++x)
            matrix.set(x, y, rows[y][x] == '1' ? 1 : 0);
    }
    return matrix;
}

TEST(MaskHelper, RuleOneCountsThreePlusTheLengthPastFive) {
    ByteMatrix matrix(21, 1);
    matrix.fillCells(1);
    EXPECT_EQ(MaskHelper::penaltyRunsOneWay(matrix, true), 3 + 16);
    EXPECT_EQ(MaskHelper::penaltyRunsOneWay(fromRows({"1111100000111110"}), true), 3 + 3 + 3);
    EXPECT_EQ(MaskHelper::penaltyRunsOneWay(fromRows({"1111011110"}), true), 0);
    // Runs do not continue from the end of one row into the next.
    EXPECT_EQ(MaskHelper::penaltyRunsOneWay(fromRows({"0000111", "1100000"}), true), 3);
}

TEST(MaskHelper, RuleTwoCountsEveryOverlappingBlock) {
    EXPECT_EQ(MaskHelper::penaltyBlocks(fromRows({"000", "000", "000"})), 12);
    EXPECT_EQ(MaskHelper::penaltyBlocks(fromRows({"0101", "1010"})), 0);
    EXPECT_EQ(MaskHelper::penaltyBlocks(fromRows({"110", "110", "001"})), 3);
}

TEST(MaskHelper, RuleThreeNeedsFourLightModulesInsideTheSymbolOnOneSide) {
    EXPECT_EQ(MaskHelper::penaltyFinderLike(fromRows({"000010111010000"})), 40); // light on both sides: once
    EXPECT_EQ(MaskHelper::penaltyFinderLike(fromRows({"1011101000"})),
              0); // edge on one side, three on the other
    EXPECT_EQ(MaskHelper::penaltyFinderLike(fromRows({"10111010000"})), 40);
    EXPECT_EQ(MaskHelper::penaltyFinderLike(fromRows({"00001011101"})), 40);
    EXPECT_EQ(MaskHelper::penaltyFinderLike(fromRows({"0001011101000"})), 0);
    // The same pattern down a column.
    std::vector<std::string> column;
    for (char c : std::string("10111010000"))
        column.emplace_back(1, c);
    EXPECT_EQ(MaskHelper::penaltyFinderLike(fromRows(column)), 40);
}

TEST(MaskHelper, RuleFourInStepsOfFivePercent) {
    const auto withDark = [](int dark, int total) {
        ByteMatrix matrix(total, 1);
        for (int x = 0; x < dark; ++x)
            matrix.set(x, 0, 1);
        return MaskHelper::penaltyBalance(matrix);
    };
    EXPECT_EQ(withDark(44, 100), 10);
    EXPECT_EQ(withDark(46, 100), 0);
    EXPECT_EQ(withDark(111, 200), 10); // 55.5 %
    EXPECT_EQ(withDark(60, 100), 20);
    EXPECT_EQ(withDark(91, 200), 0); // 45.5 %: 4.5 points away is not a whole step
    EXPECT_EQ(withDark(0, 100), 100);
}

TEST(MaskHelper, DataMaskBits) {
    EXPECT_TRUE(MaskHelper::dataMaskBit(4, 3, 2).value());
    EXPECT_TRUE(MaskHelper::dataMaskBit(0, 0, 0).value());
    EXPECT_FALSE(MaskHelper::dataMaskBit(0, 1, 0).value());
    EXPECT_TRUE(MaskHelper::dataMaskBit(1, 5, 2).value());
    EXPECT_FALSE(MaskHelper::dataMaskBit(2, 4, 0).value());
    EXPECT_TRUE(MaskHelper::dataMaskBit(3, 1, 2).value());
    EXPECT_TRUE(MaskHelper::dataMaskBit(5, 3, 2).value());  // 6: 0 + 0
    EXPECT_FALSE(MaskHelper::dataMaskBit(5, 1, 1).value()); // 1: 1 + 1
    EXPECT_TRUE(MaskHelper::dataMaskBit(6, 1, 1).value());  // (1 + 1) & 1
    EXPECT_TRUE(MaskHelper::dataMaskBit(7, 3, 1).value());  // (0 + 0) & 1
    EXPECT_FALSE(MaskHelper::dataMaskBit(7, 1, 2).value()); // (2 + 1) & 1
    const auto refused = MaskHelper::dataMaskBit(8, 0, 0);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().className, "掩码辅助类");
    EXPECT_EQ(refused.error().methodName, "取数据掩码位");
    EXPECT_EQ(refused.error().message, "掩图无效。");
}

ByteMatrix randomMatrix(int side, unsigned seed, int darkPercent) {
    std::mt19937 generator(seed);
    ByteMatrix matrix(side, side);
    for (std::uint8_t& cell : matrix.data())
        cell = static_cast<int>(generator() % 100) < darkPercent ? 1 : 0;
    return matrix;
}

class BitSetScoring : public testing::TestWithParam<int> {};

TEST_P(BitSetScoring, GivesMaskHelpersTotalsRuleByRule) {
    const int side = GetParam();
    for (unsigned seed = 0; seed < 6; ++seed) {
        // Sparse and dense matrices have long runs and many finder-like patterns; balanced ones few.
        const ByteMatrix matrix = randomMatrix(side, seed, static_cast<int>(15 + 14 * seed));
        const MaskScorer scorer = MaskScorer::fromMatrix(matrix);
        EXPECT_EQ(scorer.penaltyRuns(), MaskHelper::penaltyRuns(matrix)) << seed;
        EXPECT_EQ(scorer.penaltyBlocks(), MaskHelper::penaltyBlocks(matrix)) << seed;
        EXPECT_EQ(scorer.penaltyFinderLike(), MaskHelper::penaltyFinderLike(matrix)) << seed;
        EXPECT_EQ(scorer.penaltyBalance(), MaskHelper::penaltyBalance(matrix)) << seed;
        EXPECT_EQ(scorer.penalty(), QrEncoder::maskPenalty(matrix)) << seed;
    }
}

// Sides around the word boundaries of the bit sets, and the smallest and largest symbols.
INSTANTIATE_TEST_SUITE_P(Sides, BitSetScoring, testing::Values(11, 21, 63, 64, 65, 69, 127, 128, 129, 177));

} // namespace
