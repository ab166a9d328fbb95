#include "qr/detail/mask_helper.h"
#include "qr/detail/matrix_builder.h"
#include "qr/detail/qr_encoder.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>

namespace {

using namespace qr::detail;

BitVector randomStream(int codewords, unsigned seed) {
    std::mt19937 generator(seed);
    BitVector bits;
    for (int i = 0; i < codewords; ++i)
        bits.appendBits(generator() & 0xFF, 8);
    return bits;
}

ByteMatrix built(int version, int mask, const EcLevel& level = kLevelM, unsigned seed = 1) {
    ByteMatrix matrix(17 + 4 * version, 17 + 4 * version);
    const Status status = MatrixBuilder().buildSymbol(
        randomStream(kVersionTable[version - 1].totalCodewords, seed), level, version, mask, matrix);
    EXPECT_TRUE(status.ok()) << (status.ok() ? "" : status.error().message);
    return matrix;
}

std::string formatWord(const EcLevel& level, int mask) {
    BitVector bits;
    EXPECT_TRUE(MatrixBuilder().formatInfoBits(level, mask, bits).ok());
    std::string word;
    for (int i = 0; i < bits.size(); ++i)
        word += static_cast<char>('0' + bits.at(i).value());
    return word;
}

TEST(MatrixBuilder, Version1HasTimingPatternsTheDarkModuleAndNoEmptyCell) {
    const ByteMatrix matrix = built(1, 3);
    for (std::uint8_t cell : matrix.data())
        ASSERT_TRUE(cell == 0 || cell == 1);
    EXPECT_EQ(matrix.get(8, 13), 1);
    for (int i = 8; i <= 12; ++i) {
        EXPECT_EQ(matrix.get(i, 6), (i + 1) % 2) << i;
        EXPECT_EQ(matrix.get(6, i), (i + 1) % 2) << i;
    }
    // Finder corners and separators.
    EXPECT_EQ(matrix.get(0, 0), 1);
    EXPECT_EQ(matrix.get(20, 0), 1);
    EXPECT_EQ(matrix.get(0, 20), 1);
    EXPECT_EQ(matrix.get(7, 7), 0);
    EXPECT_EQ(matrix.get(13, 7), 0);
    EXPECT_EQ(matrix.get(7, 13), 0);
}

TEST(MatrixBuilder, Version2HasOneAlignmentPatternAt18_18) {
    ByteMatrix matrix(25, 25);
    MatrixBuilder::resetToEmpty(matrix);
    ASSERT_TRUE(MatrixBuilder().insertFunctionPatterns(2, matrix).ok());
    EXPECT_EQ(matrix.get(18, 18), 1);
    EXPECT_EQ(matrix.get(17, 18), 0);
    EXPECT_EQ(matrix.get(16, 16), 1);
    EXPECT_EQ(matrix.get(20, 20), 1);
    EXPECT_EQ(matrix.get(15, 18), 255); // outside the pattern nothing is placed yet
    EXPECT_EQ(matrix.get(4, 16), 255);  // no pattern around (6, 18): its centre lies in a finder pattern
    EXPECT_EQ(matrix.get(16, 4), 255);
}

TEST(MatrixBuilder, Version7CarriesItsVersionInformationInBothBlocks) {
    BitVector bits;
    ASSERT_TRUE(MatrixBuilder().versionInfoBits(7, bits).ok());
    EXPECT_EQ(bits.toString(), "0,0,0,1,1,1,1,1,0,0,1,0,0,1,0,1,0,0");
    const ByteMatrix matrix = built(7, 0);
    const int n = 45;
    EXPECT_EQ(matrix.get(0, n - 11), bits.at(17).value());
    EXPECT_EQ(matrix.get(n - 11, 0), bits.at(17).value());
    EXPECT_EQ(matrix.get(5, n - 9), bits.at(0).value());
    EXPECT_EQ(matrix.get(n - 9, 5), bits.at(0).value());
    int k = 17;
    for (int i = 0; i < 6; ++i) {
        for (int j = 0; j < 3; ++j, --k) {
            EXPECT_EQ(matrix.get(i, n - 11 + j), bits.at(k).value());
            EXPECT_EQ(matrix.get(n - 11 + j, i), bits.at(k).value());
        }
    }
}

TEST(MatrixBuilder, FormatInformationWordsAndPlacement) {
    EXPECT_EQ(formatWord(kLevelM, 0), "101010000010010");
    EXPECT_EQ(formatWord(kLevelL, 0), "111011111000100");
    BitVector refusedBits;
    const auto refused = MatrixBuilder().formatInfoBits(kLevelL, 8, refusedBits);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().methodName, "标记类型信息位");
    EXPECT_EQ(refused.error().message, "掩图无效");

    const ByteMatrix matrix = built(1, 0, kLevelL);
    const std::string word = formatWord(kLevelL, 0);
    const int n = 21;
    for (int i = 0; i < 15; ++i) {
        const int bit = word[14 - i] - '0';
        const auto [x, y] = MatrixBuilder::kFormatInfoCoordinates[i];
        EXPECT_EQ(matrix.get(x, y), bit) << i;
        if (i < 8) {
            EXPECT_EQ(matrix.get(n - 1 - i, 8), bit) << i;
        } else {
            EXPECT_EQ(matrix.get(8, n - 7 + (i - 8)), bit) << i;
        }
    }
}

TEST(MatrixBuilder, AnotherMaskChangesOnlyDataAndFormatCells) {
    const int version = 8;
    const int n = 17 + 4 * version;
    ByteMatrix functionOnly(n, n);
    MatrixBuilder::resetToEmpty(functionOnly);
    ASSERT_TRUE(MatrixBuilder().insertFunctionPatterns(version, functionOnly).ok());
    ASSERT_TRUE(MatrixBuilder().insertVersionInfo(version, functionOnly).ok());
    const ByteMatrix first = built(version, 2);
    const ByteMatrix second = built(version, 5);
    int changedFunctionCells = 0;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            if (functionOnly.get(x, y) != 255 && first.get(x, y) != second.get(x, y))
                ++changedFunctionCells;
        }
    }
    EXPECT_EQ(changedFunctionCells, 0);
    EXPECT_NE(first, second);
}

struct RemainderCase {
    int version;
    int remainderBits;
};

class LeftOverCells : public testing::TestWithParam<RemainderCase> {};

TEST_P(LeftOverCells, GetZeroBeforeMasking) {
    // A stream of one bits leaves 0 exactly in the cells past its end.
    const auto [version, remainderBits] = GetParam();
    const int n = 17 + 4 * version;
    ByteMatrix matrix(n, n);
    MatrixBuilder::resetToEmpty(matrix);
    const MatrixBuilder builder;
    ASSERT_TRUE(builder.insertFunctionPatterns(version, matrix).ok());
    ASSERT_TRUE(builder.insertFormatInfo(kLevelM, 1, matrix).ok());
    ASSERT_TRUE(builder.insertVersionInfo(version, matrix).ok());
    const ByteMatrix before = matrix;
    BitVector ones;
    for (int i = 0; i < kVersionTable[version - 1].totalCodewords; ++i)
        ones.appendBits(0xFF, 8);
    ASSERT_TRUE(builder.insertDataBits(ones, -1, matrix).ok());
    int zeros = 0;
    for (std::size_t i = 0; i < matrix.data().size(); ++i) {
        if (before.data()[i] == 255 && matrix.data()[i] == 0)
            ++zeros;
    }
    EXPECT_EQ(zeros, remainderBits);
}

INSTANTIATE_TEST_SUITE_P(Versions, LeftOverCells,
                         testing::Values(RemainderCase{1, 0}, RemainderCase{2, 7}, RemainderCase{6, 7},
                                         RemainderCase{7, 0}, RemainderCase{14, 3}, RemainderCase{21, 4},
                                         RemainderCase{28, 3}, RemainderCase{35, 0}, RemainderCase{40, 0}));

TEST(MatrixBuilder, AStreamLongerThanTheDataCellsIsReported) {
    ByteMatrix matrix(21, 21);
    const auto refused = MatrixBuilder().buildSymbol(randomStream(27, 2), kLevelL, 1, 0, matrix);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().className, "矩阵应用类");
    EXPECT_EQ(refused.error().methodName, "插入数据信息位");
    EXPECT_EQ(refused.error().message, "数据位未被全部填充，n：208；位向量大小：216");
}

TEST(MatrixBuilder, PlacingOverAnOccupiedCellIsReported) {
    ByteMatrix matrix(21, 21);
    MatrixBuilder::resetToEmpty(matrix);
    const MatrixBuilder builder;
    ASSERT_TRUE(builder.insertFinderPattern(0, 0, matrix).ok());
    const auto finder = builder.insertFinderPattern(0, 0, matrix);
    EXPECT_EQ(finder.error().message, "方位检测标识异常，当前位置有空值。当前行索引：1；列索引：1");
    const auto separator = builder.insertHorizontalSeparator(0, 6, matrix);
    EXPECT_EQ(separator.error().methodName, "插入水平分割图");
    EXPECT_EQ(separator.error().message, "矩阵当前操作位数据不为空。i：1；x：0；y：6");
    const auto vertical = builder.insertVerticalSeparator(6, 0, matrix);
    EXPECT_EQ(vertical.error().message, "矩阵当前操作位数据不为空。i：1；x：6；y：0");
    ByteMatrix light(21, 21); // all 0: the dark module's place holds a light module
    EXPECT_EQ(builder.insertDarkModule(light).error().message, "空值");
    EXPECT_EQ(builder.insertAlignmentPattern(0, 0, matrix).error().message, "值为空");
    ByteMatrix odd(21, 21);
    odd.fillCells(7);
    EXPECT_EQ(builder.insertTimingPatterns(odd).error().methodName, "插入定位基线");
}

TEST(MatrixBuilder, BchRemainderAndBitLength) {
    EXPECT_EQ(MatrixBuilder::bitLength(0), 0);
    EXPECT_EQ(MatrixBuilder::bitLength(0x537), 11);
    EXPECT_EQ(MatrixBuilder::bitLength(0xFFFFFFFFu), 32);
    EXPECT_EQ(MatrixBuilder::bchRemainder(7, 0x1F25), 0xC94u);
    EXPECT_EQ(MatrixBuilder::bchRemainder(8, 0x537), 0x3D6u); // level L, mask 0, before its mask
}

class ChooseMask : public testing::TestWithParam<int> {};

TEST_P(ChooseMask, LeavesTheMatrixBuildSymbolMakesWithTheLowestScoringMask) {
    const int version = GetParam();
    const BitVector stream =
        randomStream(kVersionTable[version - 1].totalCodewords, static_cast<unsigned>(version));
    const QrEncoder encoder;
    ByteMatrix chosen;
    const int mask = encoder.chooseMask(stream, kLevelQ, version, chosen).value();

    int lowest = INT_MAX;
    int expected = -1;
    for (int candidate = 0; candidate < 8; ++candidate) {
        ByteMatrix matrix(17 + 4 * version, 17 + 4 * version);
        ASSERT_TRUE(MatrixBuilder().buildSymbol(stream, kLevelQ, version, candidate, matrix).ok());
        const int penalty = QrEncoder::maskPenalty(matrix);
        if (penalty < lowest) {
            lowest = penalty;
            expected = candidate;
        }
        if (candidate == mask) {
            EXPECT_EQ(chosen, matrix);
        }
    }
    EXPECT_EQ(mask, expected);
}

INSTANTIATE_TEST_SUITE_P(Versions, ChooseMask, testing::Values(1, 2, 6, 7, 14, 21, 27, 33, 40));

} // namespace
