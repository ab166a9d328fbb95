#include "qr/detail/ec_level.h"
#include "qr/detail/qr_code.h"
#include "qr/detail/qr_mode.h"
#include "qr/detail/qr_version.h"

#include <gtest/gtest.h>

namespace {

using namespace qr::detail;

struct LayoutRow {
    int version;
    int level; // 0-3 for L, M, Q, H
    int ecPerBlock;
    BlockRun first;
    BlockRun second;
};

class TellingRows : public testing::TestWithParam<LayoutRow> {};

TEST_P(TellingRows, MatchTheBlockTable) {
    const LayoutRow& row = GetParam();
    const EcLayout layout = QrCode::versionByNumber(row.version).value().layoutFor(kLevels[row.level]);
    EXPECT_EQ(layout.ecPerBlock, row.ecPerBlock);
    EXPECT_EQ(layout.runs[0].count, row.first.count);
    EXPECT_EQ(layout.runs[0].dataCodewords, row.first.dataCodewords);
    EXPECT_EQ(layout.runs[1].count, row.second.count);
    EXPECT_EQ(layout.runs[1].dataCodewords, row.second.dataCodewords);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, TellingRows,
    testing::Values(LayoutRow{1, 0, 7, {1, 19}, {}}, LayoutRow{1, 1, 10, {1, 16}, {}},
                    LayoutRow{1, 2, 13, {1, 13}, {}}, LayoutRow{1, 3, 17, {1, 9}, {}},
                    LayoutRow{5, 0, 26, {1, 108}, {}}, LayoutRow{5, 1, 24, {2, 43}, {}},
                    LayoutRow{5, 2, 18, {2, 15}, {2, 16}}, LayoutRow{5, 3, 22, {2, 11}, {2, 12}},
                    LayoutRow{7, 0, 20, {2, 78}, {}}, LayoutRow{7, 1, 18, {4, 31}, {}},
                    LayoutRow{7, 2, 18, {2, 14}, {4, 15}}, LayoutRow{7, 3, 26, {4, 13}, {1, 14}},
                    LayoutRow{40, 0, 30, {19, 118}, {6, 119}}, LayoutRow{40, 1, 28, {18, 47}, {31, 48}},
                    LayoutRow{40, 2, 30, {34, 24}, {34, 25}}, LayoutRow{40, 3, 30, {20, 15}, {61, 16}}));

TEST(VersionTable, TotalsAgreeForEveryLevel) {
    for (const QrVersion& version : kVersionTable) {
        for (const EcLayout& layout : version.layouts)
            EXPECT_EQ(layout.totalCodewords(), version.totalCodewords);
    }
    EXPECT_EQ(kVersionTable[0].totalCodewords, 26);
    EXPECT_EQ(kVersionTable[4].totalCodewords, 134);
    EXPECT_EQ(kVersionTable[6].totalCodewords, 196);
    EXPECT_EQ(kVersionTable[39].totalCodewords, 3706);
}

TEST(VersionLookUps, ByNumberAndByDimension) {
    EXPECT_EQ(QrCode::versionByDimension(21).value().number, 1);
    EXPECT_EQ(QrCode::versionByDimension(177).value().number, 40);
    const auto notFourKPlusOne = QrCode::versionByDimension(22);
    ASSERT_FALSE(notFourKPlusOne.ok());
    EXPECT_EQ(notFourKPlusOne.error().className, "二维码类");
    EXPECT_EQ(notFourKPlusOne.error().methodName, "取版本_通过维长度");
    EXPECT_EQ(notFourKPlusOne.error().message, "维长度不为4的位数加1。当前维数：22");
    const auto tooLarge = QrCode::versionByDimension(181);
    ASSERT_FALSE(tooLarge.ok());
    EXPECT_EQ(tooLarge.error().methodName, "取版本_通过版本号");
    EXPECT_EQ(tooLarge.error().message, "版本号不在0到40之间。当前版本号：41");
    EXPECT_EQ(QrCode::versionByNumber(0).error().message, "版本号不在0到40之间。当前版本号：0");
    EXPECT_FALSE(QrCode::versionByDimension(-3).ok());
}

TEST(Modes, CountWidthsAndIndicators) {
    EXPECT_EQ(kNumericMode.countBits(9), 10);
    EXPECT_EQ(kNumericMode.countBits(10), 12);
    EXPECT_EQ(kAlphanumericMode.countBits(10), 11);
    EXPECT_EQ(kByteMode.countBits(10), 16);
    EXPECT_EQ(kNumericMode.countBits(27), 14);
    EXPECT_EQ(kByteMode.countBits(26), 16);
    EXPECT_EQ(kByteMode.countBits(1), 8);
    EXPECT_TRUE(modeForIndicator(4).sameAs(kByteMode));
    EXPECT_EQ(modeForIndicator(3).indicator, 0);
    EXPECT_EQ(modeForIndicator(3).name, "");
}

TEST(Levels, OrdinalsAndFormatBits) {
    EXPECT_EQ(kLevelL.formatBits, 1);
    EXPECT_EQ(kLevelM.formatBits, 0);
    EXPECT_EQ(kLevelQ.formatBits, 3);
    EXPECT_EQ(kLevelH.formatBits, 2);
    EXPECT_EQ(levelByName("Q")->ordinal, 3);
    EXPECT_FALSE(levelByName("q").has_value());
}

TEST(QrCodeRecord, CompletenessAndModuleAt) {
    QrCode code;
    EXPECT_FALSE(code.isComplete());
    code.resetNumbers();
    EXPECT_FALSE(code.isComplete());
    code.matrix.init(21, 21);
    code.matrix.fillCells(255);
    EXPECT_EQ(code.matrix.data().size(), 441u);
    const auto bad = code.moduleAt(3, 4);
    ASSERT_FALSE(bad.ok());
    EXPECT_EQ(bad.error().className, "二维码类");
    EXPECT_EQ(bad.error().methodName, "矩阵取值");
    EXPECT_EQ(bad.error().message, "值异常，当前值为：255");
    code.matrix.set(3, 4, 1);
    EXPECT_EQ(code.moduleAt(3, 4).value(), 1);
    EXPECT_FALSE(code.moduleAt(21, 0).ok());
    EXPECT_FALSE(QrCode::maskInRange(8));
    EXPECT_TRUE(QrCode::maskInRange(0));
}

TEST(ByteMatrixCells, SetCellsCopiesIntoTheTopLeftAndRefusesAnEmptyArray) {
    ByteMatrix matrix(3, 2);
    EXPECT_EQ(matrix.setCells({}).error().message, "不是矩阵");
    EXPECT_EQ(matrix.setCells({{}}).error().methodName, "置字节矩阵");
    ASSERT_TRUE(matrix.setCells({{7, 8}}).ok());
    EXPECT_EQ(matrix.getCells(), (std::vector<std::vector<std::uint8_t>>{{7, 8, 0}, {0, 0, 0}}));
    ASSERT_TRUE(matrix.setCells({{1, 1, 1, 1}, {2, 2, 2, 2}, {3, 3, 3, 3}}).ok()); // cut to the matrix
    EXPECT_EQ(matrix.getCells(), (std::vector<std::vector<std::uint8_t>>{{1, 1, 1}, {2, 2, 2}}));
}

} // namespace
