#include "qr/detail/matrix_builder.h"
#include "qr/detail/qr_encoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace qr::detail;

std::vector<int> dataCodewords(std::string_view text, const EcLevel& level, QrCode& record) {
    // The stream before interleaving: what encode builds up to terminateData.
    const QrEncoder encoder;
    const QrMode mode = encoder.pickMode(text);
    BitVector data;
    EXPECT_TRUE(encoder.appendData(text, mode, data).ok());
    EXPECT_TRUE(encoder.initSymbol(data.sizeInBytes(), level, mode, record).ok());
    BitVector header;
    encoder.appendModeIndicator(mode, header);
    const int count = mode.sameAs(kByteMode) ? data.sizeInBytes() : static_cast<int>(text.size());
    EXPECT_TRUE(encoder.appendCharCount(count, record.version, mode, header).ok());
    BitVectorHolder holder;
    holder.setHeld(header);
    holder.appendToHeld(data);
    BitVector stream = holder.getHeld();
    EXPECT_TRUE(encoder.terminateData(record.dataBytes, stream).ok());
    const std::vector<std::uint8_t> store = stream.getBytes();
    return {store.begin(), store.begin() + stream.sizeInBytes()};
}

TEST(DataEncoding, NumericExampleAtM) {
    QrCode record;
    EXPECT_EQ(dataCodewords("01234567", kLevelM, record),
              (std::vector<int>{0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC,
                                0x11, 0xEC, 0x11}));
    EXPECT_TRUE(record.mode.sameAs(kNumericMode));
    EXPECT_EQ(record.version, 1);
}

TEST(DataEncoding, AlphanumericExampleAtM) {
    QrCode record;
    EXPECT_EQ(dataCodewords("AC-42", kLevelM, record),
              (std::vector<int>{0x20, 0x29, 0xCE, 0xE7, 0x21, 0x00, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC,
                                0x11, 0xEC, 0x11}));
    EXPECT_TRUE(record.mode.sameAs(kAlphanumericMode));
}

TEST(DataEncoding, Utf8TextIsByteModeWithItsByteCountAndNoEci) {
    QrCode record;
    const std::vector<int> codewords = dataCodewords("码", kLevelL, record); // E7 A0 81
    // 0100 (byte mode, no ECI before it), count 00000011, then the three bytes.
    EXPECT_EQ((std::vector<int>{codewords[0], codewords[1], codewords[2], codewords[3], codewords[4]}),
              (std::vector<int>{0x40, 0x3E, 0x7A, 0x08, 0x10}));
    EXPECT_TRUE(record.mode.sameAs(kByteMode));
}

struct ModeCase {
    const char* text;
    const char* mode;
};

class PickMode : public testing::TestWithParam<ModeCase> {};

TEST_P(PickMode, OneModeForTheWholeText) {
    EXPECT_EQ(QrEncoder().pickMode(GetParam().text).name, GetParam().mode);
}

INSTANTIATE_TEST_SUITE_P(Texts, PickMode,
                         testing::Values(ModeCase{"A1", "字母数字"}, ModeCase{"123", "数字"},
                                         ModeCase{"1a", "字节"}, ModeCase{"", "字节"},
                                         ModeCase{"HTTP://X.CN/$%*+-. :", "字母数字"},
                                         ModeCase{"\xC2\xEB", "字节"}, ModeCase{"12 ", "字母数字"}));

TEST(VersionChoice, ThreeBytesStayFreeForTheHeader) {
    const QrEncoder encoder;
    QrCode record;
    ASSERT_TRUE(encoder.initSymbol(16, kLevelL, kByteMode, record).ok());
    EXPECT_EQ(record.version, 1);
    ASSERT_TRUE(encoder.initSymbol(17, kLevelL, kByteMode, record).ok());
    EXPECT_EQ(record.version, 2);
    EXPECT_EQ(record.totalBytes, 44);
    EXPECT_EQ(record.dataBytes, 34);
    EXPECT_EQ(record.ecBytes, 10);
    EXPECT_EQ(record.rsBlocks, 1);
    EXPECT_EQ(record.matrixWidth, 25);

    const auto refused = encoder.initSymbol(2954, kLevelL, kByteMode, record);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().className, "编码类");
    EXPECT_EQ(refused.error().methodName, "初始化二维码");
    EXPECT_EQ(refused.error().message, "");
}

TEST(Terminator, PaddingAndItsChecks) {
    const QrEncoder encoder;
    BitVector bits;
    bits.appendBits(0xABC, 12);
    ASSERT_TRUE(encoder.terminateData(4, bits).ok());
    const std::vector<std::uint8_t> store = bits.getBytes();
    EXPECT_EQ((std::vector<int>{store[0], store[1], store[2], store[3]}),
              (std::vector<int>{0xAB, 0xC0, 0xEC, 0x11}));

    BitVector full; // filling capacity after alignment: no terminator room, no pad bytes
    full.appendBits(0x7F, 7);
    ASSERT_TRUE(encoder.terminateData(1, full).ok());
    EXPECT_EQ(full.size(), 8);
    EXPECT_EQ(full.getBytes()[0], 0xFE);

    BitVector tooLong;
    tooLong.appendBits(0, 17);
    const auto refused = encoder.terminateData(2, tooLong);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().methodName, "结束数据位");
    EXPECT_EQ(refused.error().message, "数据无法填充");
}

TEST(CharCount, RefusesACountTooWideForItsField) {
    const QrEncoder encoder;
    BitVector bits;
    const auto refused = encoder.appendCharCount(256, 9, kByteMode, bits);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().methodName, "追加长度信息");
    EXPECT_EQ(refused.error().message, "要添加信息过多");
    ASSERT_TRUE(encoder.appendCharCount(256, 10, kByteMode, bits).ok());
    EXPECT_EQ(bits.size(), 16);
}

TEST(Alphanumeric, ANonAlphanumericByteIsRefused) {
    BitVector bits;
    const auto refused = QrEncoder().appendAlphanumeric("AB a", bits);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().methodName, "追加字母数字字节");
    EXPECT_EQ(refused.error().message, "无效值");
    EXPECT_EQ(QrEncoder::alphanumericCode(':'), 44);
    EXPECT_EQ(QrEncoder::alphanumericCode('a'), -1);
    EXPECT_EQ(QrEncoder::alphanumericCode(200), -1);
    EXPECT_EQ(QrEncoder::alphanumericCode(-5), -1);
}

TEST(Encode, FillsTheRecordAndTheMatrixOfTheChosenMask) {
    QrCode record;
    record.resetNumbers();
    ASSERT_TRUE(QrEncoder().encode("https://example.com/item?id=1001", kLevelM, record).ok());
    EXPECT_TRUE(record.isComplete());
    EXPECT_EQ(record.matrixWidth, 17 + 4 * record.version);
    EXPECT_GE(record.maskPattern, 0);
    EXPECT_LE(record.maskPattern, 7);
    EXPECT_EQ(record.matrix.width(), record.matrixWidth);
    for (std::uint8_t cell : record.matrix.data())
        ASSERT_TRUE(cell == 0 || cell == 1);
}

} // namespace
