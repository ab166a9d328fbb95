#include "qr/detail/gf256.h"
#include "qr/detail/qr_encoder.h"
#include "qr/detail/reed_solomon_encoder.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using namespace qr::detail;

TEST(GF256, TablesOfTheQrField) {
    const GF256& field = qrField();
    EXPECT_EQ(field.exp(8), 29);
    EXPECT_EQ(field.exp(255), 1);
    EXPECT_EQ(field.log(2).value(), 1);
    EXPECT_EQ(field.multiply(0, 77), 0);
    EXPECT_EQ(field.identity(), "GF256:285");
    for (int a = 1; a < 256; ++a) {
        ASSERT_EQ(field.multiply(a, field.inverse(a).value()), 1) << a;
        ASSERT_EQ(field.exp(field.log(a).value()), a) << a;
    }
    for (const auto& result : {field.log(0), field.inverse(0)}) {
        ASSERT_FALSE(result.ok());
        EXPECT_EQ(result.error().className, "无");
        EXPECT_EQ(result.error().methodName, "无");
        EXPECT_EQ(result.error().message, "无");
    }
}

TEST(GFP, ConstructionDropsLeadingZeros) {
    const GF256& field = qrField();
    EXPECT_EQ(GFP::make(field, {0, 0, 5}).value().coefficients(), std::vector<int>{5});
    EXPECT_EQ(GFP::make(field, {0, 0, 0}).value().coefficients(), std::vector<int>{0});
    EXPECT_TRUE(GFP::make(field, {0, 0, 0}).value().isZero());
    EXPECT_FALSE(GFP::make(field, {}).ok());
}

TEST(GFP, FaultsOfThePolynomialOperations) {
    const GF256& field = qrField();
    const GF256 other(301);
    const GFP p = GFP::make(field, {1, 2}).value();
    const GFP q = GFP::make(other, {1, 2}).value();
    EXPECT_EQ(p.addOrSubtract(q).error().message, "GF256信息不相同");
    EXPECT_EQ(p.multiply(q).error().methodName, "加或减");
    EXPECT_EQ(p.timesMonomial(-1, 1).error().message, "维度小于0");
    EXPECT_EQ(GFP::makeMonomial(field, -1, 1).error().message, "度小于0");
    EXPECT_EQ(GFPP::divide(p, q).error().message, "GF256不同");
    EXPECT_EQ(GFPP::divide(p, GFP::zero(field)).error().message, "除数为0");
    EXPECT_EQ(ReedSolomonEncoder::make(other).error().message, "GF标识不相同");
}

TEST(GFP, DivisionGivesQuotientTimesDivisorPlusRemainder) {
    const GF256& field = qrField();
    std::mt19937 generator(3);
    for (int round = 0; round < 50; ++round) {
        std::vector<int> a(1 + generator() % 20), b(1 + generator() % 8);
        for (int& c : a)
            c = static_cast<int>(generator() % 256);
        for (int& c : b)
            c = static_cast<int>(generator() % 256);
        b.front() = 1 + static_cast<int>(generator() % 255);
        const GFP dividend = GFP::make(field, a).value();
        const GFP divisor = GFP::make(field, b).value();
        const auto [quotient, remainder] = GFPP::divide(dividend, divisor).value();
        EXPECT_TRUE(remainder.isZero() || remainder.degree() < divisor.degree());
        const GFP back = quotient.multiply(divisor).value().addOrSubtract(remainder).value();
        EXPECT_EQ(back.coefficients(), dividend.coefficients());
    }
}

TEST(ReedSolomonEncoder, GeneratorOfDegreeSeven) {
    ReedSolomonEncoder encoder = ReedSolomonEncoder::make(qrField()).value();
    EXPECT_EQ(encoder.generatorOfDegree(7).coefficients(),
              (std::vector<int>{1, 127, 122, 154, 164, 11, 68, 117}));
    EXPECT_EQ(encoder.generatorOfDegree(0).coefficients(), std::vector<int>{1});
}

TEST(ReedSolomonEncoder, EcCodewordsOfTheVersion1MExample) {
    std::vector<int> codewords{0x10, 0x20, 0x0C, 0x56, 0x61, 0x80, 0xEC, 0x11,
                               0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11, 0xEC, 0x11};
    codewords.resize(26, 0);
    ReedSolomonEncoder encoder = ReedSolomonEncoder::make(qrField()).value();
    ASSERT_TRUE(encoder.encode(codewords, 10).ok());
    EXPECT_EQ(std::vector<int>(codewords.begin() + 16, codewords.end()),
              (std::vector<int>{0xA5, 0x24, 0xD4, 0xC1, 0xED, 0x36, 0xC7, 0x87, 0x2C, 0x55}));
}

TEST(ReedSolomonEncoder, TheShiftRegisterGivesThePolynomialRemainderRightAligned) {
    const GF256& field = qrField();
    ReedSolomonEncoder encoder = ReedSolomonEncoder::make(field).value();
    std::mt19937 generator(11);
    for (int round = 0; round < 100; ++round) {
        const int dataCount = 1 + static_cast<int>(generator() % 40);
        const int ecCount = 1 + static_cast<int>(generator() % 40);
        std::vector<int> codewords(static_cast<std::size_t>(dataCount + ecCount), 0);
        for (int i = 0; i < dataCount; ++i)
            codewords[i] = static_cast<int>(generator() % 256);
        // Leading zero data bytes make short remainders more likely than random ones would.
        if (round % 4 == 0)
            codewords[0] = 0;
        const GFP info = GFP::make(field, {codewords.begin(), codewords.begin() + dataCount}).value();
        const GFP remainder =
            GFPP::divide(info.timesMonomial(ecCount, 1).value(), encoder.generatorOfDegree(ecCount))
                .value()
                .remainder;
        std::vector<int> expected(static_cast<std::size_t>(ecCount), 0);
        if (!remainder.isZero()) {
            std::copy(remainder.coefficients().begin(), remainder.coefficients().end(),
                      expected.end() - static_cast<std::ptrdiff_t>(remainder.coefficients().size()));
        }
        ASSERT_TRUE(encoder.encode(codewords, ecCount).ok());
        EXPECT_EQ(std::vector<int>(codewords.begin() + dataCount, codewords.end()), expected);
    }
}

TEST(ReedSolomonEncoder, RefusesNoEcCodewordsAndNoData) {
    ReedSolomonEncoder encoder = ReedSolomonEncoder::make(qrField()).value();
    std::vector<int> codewords(5, 1);
    EXPECT_EQ(encoder.encode(codewords, 0).error().message, "没有容错字节");
    EXPECT_EQ(encoder.encode(codewords, 5).error().message, "未提供数据字节");
    EXPECT_EQ(encoder.encode(codewords, 5).error().className, "RS编码器类");
    EXPECT_EQ(encoder.encode(codewords, 5).error().methodName, "编码");
}

TEST(Blocks, SizesFollowFromTheThreeTotals) {
    const QrEncoder encoder;
    for (const auto& [block, data, ec] : {std::tuple{0, 15, 18}, {1, 15, 18}, {2, 16, 18}, {3, 16, 18}}) {
        const auto counts = encoder.blockByteCounts(134, 62, 4, block).value();
        EXPECT_EQ(counts.dataBytes, data) << block;
        EXPECT_EQ(counts.ecBytes, ec) << block;
    }
    const auto refused = encoder.blockByteCounts(134, 62, 4, 4);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.error().className, "编码类");
    EXPECT_EQ(refused.error().methodName, "根据块ID取数据字节数和容错字节数");
    EXPECT_EQ(refused.error().message, "无效值");
}

TEST(Blocks, InterleavingTakesTheIthByteOfEveryBlockInTurn) {
    const QrEncoder encoder;
    BitVector data;
    for (int i = 0; i < 62; ++i)
        data.appendBits(static_cast<std::uint32_t>(i), 8);
    BitVector result;
    ASSERT_TRUE(encoder.interleaveEcBytes(data, 134, 62, 4, result).ok());
    ASSERT_EQ(result.sizeInBytes(), 134);
    const std::vector<std::uint8_t> out = result.getBytes();
    // Blocks hold data bytes 0-14, 15-29, 30-45 and 46-61.
    EXPECT_EQ((std::vector<int>{out[0], out[1], out[2], out[3], out[4]}),
              (std::vector<int>{0, 15, 30, 46, 1}));
    EXPECT_EQ((std::vector<int>{out[56], out[57], out[58], out[59], out[60], out[61]}),
              (std::vector<int>{14, 29, 44, 60, 45, 61}));
    // Then EC byte 1 of each block: the first EC byte of block 0 comes right after the data.
    const ByteList firstBlock{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}};
    EXPECT_EQ(out[62], encoder.ecBytesForBlock(firstBlock, 18).value().at(1));

    BitVector wrongSize;
    wrongSize.appendBits(1, 8);
    EXPECT_EQ(encoder.interleaveEcBytes(wrongSize, 134, 62, 4, result).error().message,
              "位数和数据字节数不匹配");
}

} // namespace
