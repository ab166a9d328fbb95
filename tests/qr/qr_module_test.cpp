#include "qr/detail/bitmap.h"
#include "qr/detail/module_state.h"
#include "qr/qr_module.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr std::int32_t kWhite = 0xFFFFFF;
constexpr std::int32_t kBlack = 0;

std::uint32_t field(const std::vector<std::uint8_t>& bmp, std::size_t offset, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | bmp[offset + static_cast<std::size_t>(i)];
    return value;
}

struct Pixel {
    int blue, green, red;
    bool operator==(const Pixel&) const = default;
};

// Pixel (x, y) with (0, 0) the top-left corner of the picture.
Pixel pixelAt(const std::vector<std::uint8_t>& bmp, int x, int y) {
    const auto width = static_cast<int>(field(bmp, 18, 4));
    const auto height = static_cast<int>(field(bmp, 22, 4));
    const std::size_t stride = ((24u * static_cast<std::size_t>(width) + 31) / 32) * 4;
    const std::size_t offset =
        54 + stride * static_cast<std::size_t>(height - 1 - y) + 3 * static_cast<std::size_t>(x);
    return Pixel{bmp[offset], bmp[offset + 1], bmp[offset + 2]};
}

const Pixel kWhitePixel{255, 255, 255};
const Pixel kBlackPixel{0, 0, 0};

int lastVersion() {
    return qr::detail::sharedCodeSnapshot().version;
}

TEST(Picture, Version3At200By200) {
    const std::string text(40, 'a'); // 40 bytes: version 3 at L
    const qr::QrImage image = qr::CreateQrCode(text, std::nullopt, 200, 200, kWhite, kBlack);
    ASSERT_TRUE(image);
    ASSERT_EQ(lastVersion(), 3);
    const std::vector<std::uint8_t>& bmp = image.bmp;
    ASSERT_EQ(bmp.size(), 120054u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    const std::vector<std::pair<std::size_t, std::uint32_t>> headerFields{
        {2, 120054}, {6, 0},  {10, 54}, {14, 40}, {18, 200}, {22, 200},
        {30, 0},     {34, 0}, {38, 0},  {42, 0},  {46, 0},   {50, 0}};
    for (const auto& [offset, value] : headerFields)
        EXPECT_EQ(field(bmp, offset, 4), value) << "offset " << offset;
    EXPECT_EQ(field(bmp, 26, 2), 1u);
    EXPECT_EQ(field(bmp, 28, 2), 24u);
    // 29 modules at 6 pixels: 174 pixels from (13, 13); the finder's dark corner is the first dark pixel.
    EXPECT_EQ(pixelAt(bmp, 12, 13), kWhitePixel);
    EXPECT_EQ(pixelAt(bmp, 13, 12), kWhitePixel);
    EXPECT_EQ(pixelAt(bmp, 13, 13), kBlackPixel);
    EXPECT_EQ(pixelAt(bmp, 13 + 6 * 7 - 1, 13), kBlackPixel); // the finder's top row is 7 modules
    EXPECT_EQ(pixelAt(bmp, 13 + 6 * 7, 13), kWhitePixel);     // then its separator
    EXPECT_EQ(pixelAt(bmp, 13 + 6, 13 + 6), kWhitePixel);     // the light ring
    EXPECT_EQ(pixelAt(bmp, 13 + 174 - 1, 13), kBlackPixel);   // top-right finder's corner
    EXPECT_EQ(pixelAt(bmp, 13 + 174, 13), kWhitePixel);
    EXPECT_EQ(pixelAt(bmp, 13, 13 + 174 - 1), kBlackPixel); // bottom-left finder's corner
}

TEST(Picture, Version1At100By100HasEightPixelMargins) {
    const qr::QrImage image = qr::CreateQrCode("a", "L", 100, 100, kWhite, kBlack);
    ASSERT_TRUE(image);
    ASSERT_EQ(lastVersion(), 1);
    EXPECT_EQ(pixelAt(image.bmp, 7, 8), kWhitePixel);
    EXPECT_EQ(pixelAt(image.bmp, 8, 8), kBlackPixel);
    EXPECT_EQ(pixelAt(image.bmp, 8, 8 + 84 - 1), kBlackPixel); // bottom-left finder's corner
    EXPECT_EQ(pixelAt(image.bmp, 8, 8 + 84), kWhitePixel);
    EXPECT_EQ(pixelAt(image.bmp, 8 + 4 * 7, 8 + 4 * 14), kWhitePixel); // its separator, module (7, 14)
    EXPECT_EQ(pixelAt(image.bmp, 8 + 4 * 6, 8 + 4 * 14), kBlackPixel); // its right edge, module (6, 14)
    EXPECT_EQ(pixelAt(image.bmp, 8 + 84 - 1, 8), kBlackPixel);
    EXPECT_EQ(pixelAt(image.bmp, 8 + 84, 8), kWhitePixel);
}

TEST(Picture, ASymbolLargerThanThePictureIsNotCropped) {
    const std::string text(1200, 'a'); // version 25 at L: 117 modules
    const qr::QrImage image = qr::CreateQrCode(text, "L", 100, 100, kWhite, kBlack);
    ASSERT_TRUE(image);
    ASSERT_EQ(lastVersion(), 25);
    // The whole symbol and its margin: 121 x 121, one pixel per module, two-pixel margins.
    EXPECT_EQ(field(image.bmp, 18, 4), 121u);
    EXPECT_EQ(field(image.bmp, 22, 4), 121u);
    EXPECT_EQ(image.bmp.size(), 54u + 364u * 121u);
    EXPECT_EQ(pixelAt(image.bmp, 2, 2), kBlackPixel);
    EXPECT_EQ(pixelAt(image.bmp, 118, 2), kBlackPixel);
    EXPECT_EQ(pixelAt(image.bmp, 2, 118), kBlackPixel);
    EXPECT_EQ(pixelAt(image.bmp, 119, 119), kWhitePixel);

    // Only the dimension that is too small grows.
    const qr::QrImage wide = qr::CreateQrCode(text, "L", 300, 100, kWhite, kBlack);
    EXPECT_EQ(field(wide.bmp, 18, 4), 300u);
    EXPECT_EQ(field(wide.bmp, 22, 4), 121u);
}

TEST(Picture, RowsArePaddedToFourBytes) {
    const qr::QrImage image = qr::CreateQrCode("a", "L", 201, 100, kWhite, kBlack);
    ASSERT_TRUE(image);
    EXPECT_EQ(image.bmp.size(), 54u + 604u * 100u);
    EXPECT_EQ(field(image.bmp, 2, 4), 54u + 604u * 100u);
}

TEST(Picture, NonPositiveSizesMean100ForThatDimensionOnly) {
    for (const auto& [width, height, expectedWidth, expectedHeight] :
         {std::tuple{0, 150, 100u, 150u}, {-5, 0, 100u, 100u}, {150, -1, 150u, 100u}}) {
        const qr::QrImage image = qr::CreateQrCode("a", "L", width, height, kWhite, kBlack);
        ASSERT_TRUE(image);
        EXPECT_EQ(field(image.bmp, 18, 4), expectedWidth);
        EXPECT_EQ(field(image.bmp, 22, 4), expectedHeight);
    }
}

TEST(Picture, ColoursArePacked0x00BBGGRR) {
    const qr::QrImage image = qr::CreateQrCode("a", "L", 100, 100, 0x00332211, 0x00CCBBAA);
    ASSERT_TRUE(image);
    EXPECT_EQ(pixelAt(image.bmp, 0, 0), (Pixel{0x33, 0x22, 0x11}));
    EXPECT_EQ(pixelAt(image.bmp, 8, 8), (Pixel{0xCC, 0xBB, 0xAA}));
    const qr::detail::ModuleState& state = qr::detail::moduleState();
    EXPECT_EQ(state.backgroundColour, 0x00332211);
    EXPECT_EQ(state.foregroundColour, 0x00CCBBAA);
}

TEST(Picture, ScalingThenPaintingGivesThePictureOfTheCall) {
    const qr::QrImage image = qr::CreateQrCode("https://example.com/?id=7", "q", 230, 180, kWhite, kBlack);
    ASSERT_TRUE(image);
    const qr::detail::QrCode code = qr::detail::sharedCodeSnapshot();
    const qr::detail::ByteMatrix pixels = qr::detail::ScaleToPixels(code, 230, 180);
    EXPECT_EQ(qr::detail::MatrixToBitmap(pixels, kWhite, kBlack), image.bmp);
}

TEST(Levels, EitherCaseAndNoneMeaningL) {
    for (const auto& [level, expected] : {std::pair{"l", "L"}, {"m", "M"}, {"Q", "Q"}, {"h", "H"}}) {
        ASSERT_TRUE(qr::CreateQrCode("abc", level, 0, 0, kWhite, kBlack));
        EXPECT_EQ(qr::detail::sharedCodeSnapshot().ecLevel.name, expected);
    }
    ASSERT_TRUE(qr::CreateQrCode("abc", std::nullopt, 0, 0, kWhite, kBlack));
    EXPECT_EQ(qr::detail::sharedCodeSnapshot().ecLevel.name, "L");
}

struct FailureCase {
    const char* name;
    std::string text;
    std::optional<std::string> level;
    int width;
    qr::ErrorReport expected;
};

class Failures : public testing::TestWithParam<FailureCase> {};

TEST_P(Failures, AreReturnedAndLeaveTheModuleAsTheLastGoodCallDid) {
    const FailureCase& row = GetParam();
    const qr::QrImage good = qr::CreateQrCode("before", "M", 120, 120, kWhite, kBlack);
    ASSERT_TRUE(good);
    const qr::detail::QrCode before = qr::detail::sharedCodeSnapshot();

    const qr::QrImage failed = qr::CreateQrCode(row.text, row.level, row.width, 100, 0x123456, 0x654321);
    ASSERT_FALSE(failed);
    EXPECT_TRUE(failed.bmp.empty());
    EXPECT_EQ(failed.error->className, row.expected.className);
    EXPECT_EQ(failed.error->methodName, row.expected.methodName);
    EXPECT_EQ(failed.error->message, row.expected.message);

    const qr::detail::QrCode after = qr::detail::sharedCodeSnapshot();
    EXPECT_EQ(after.version, before.version);
    EXPECT_EQ(after.maskPattern, before.maskPattern);
    EXPECT_EQ(after.matrix, before.matrix);
    EXPECT_EQ(qr::detail::moduleState().backgroundColour, kWhite);
    EXPECT_EQ(qr::detail::moduleState().foregroundColour, kBlack);
    // The next call works as if nothing had happened.
    EXPECT_EQ(qr::CreateQrCode("before", "M", 120, 120, kWhite, kBlack).bmp, good.bmp);
}

const qr::ErrorReport kNoContent{"二维码模块", "编码", "没有编码内容"};
const qr::ErrorReport kBadLevel{"二维码模块", "创建二维码", "容错等级必须为L、M、Q、H四个之一。"};

INSTANTIATE_TEST_SUITE_P(
    Inputs, Failures,
    testing::Values(
        FailureCase{"EmptyText", "", std::nullopt, 100, kNoContent},
        FailureCase{"AsciiSpaces", "   ", "L", 100, kNoContent},
        FailureCase{"IdeographicSpaces", "\xE3\x80\x80 \xE3\x80\x80", "L", 100, kNoContent},
        FailureCase{"UnknownLevel", "abc", "x", 100, kBadLevel},
        FailureCase{"DoubledLevel", "abc", "LL", 100, kBadLevel},
        FailureCase{"EmptyLevel", "abc", "", 100, kBadLevel},
        FailureCase{"TooLongAtH", std::string(1274, 'a'), "H", 100, {"编码类", "初始化二维码", ""}},
        FailureCase{"TooLongNumeric", std::string(7100, '7'), "L", 100, {"编码类", "初始化二维码", ""}},
        FailureCase{"FarTooLong", std::string(100000, 'a'), "L", 100, {"编码类", "初始化二维码", ""}},
        FailureCase{"HugePicture",
                    "abc",
                    "L",
                    100000,
                    {"二维码模块", "创建二维码", "图片宽度和高度不能超过8192像素。"}}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST(Failures, LongestTextAtHStillFits) {
    ASSERT_TRUE(qr::CreateQrCode(std::string(1273, 'a'), "H", 0, 0, kWhite, kBlack));
    EXPECT_EQ(lastVersion(), 40);
}

TEST(Describe, NamesSourceMethodAndMessageOnTheirOwnLines) {
    EXPECT_EQ(qr::describe({"编码类", "结束数据位", "数据无法填充"}),
              "异常来源：[编码类]\n方法名称：结束数据位()\n异常信息：数据无法填充");
    EXPECT_EQ(qr::kErrorTitle, "程序运行异常提示");
}

TEST(SharedCode, HoldsTheLastSymbol) {
    qr::initModule();
    qr::initModule(); // a second call changes nothing
    ASSERT_TRUE(qr::CreateQrCode("https://example.com/a", "L", 200, 200, kWhite, kBlack));
    const qr::detail::QrCode code = qr::detail::sharedCodeSnapshot();
    EXPECT_TRUE(code.isComplete());
    EXPECT_GE(code.maskPattern, 0);
    EXPECT_LE(code.maskPattern, 7);
    EXPECT_EQ(code.matrixWidth, 17 + 4 * code.version);
    EXPECT_EQ(code.matrix.width(), code.matrixWidth);
}

} // namespace
