// Every picture the module makes is read back by zbar, an independent decoder, and must give the text.
#include "qr/detail/module_state.h"
#include "qr/detail/qr_version.h"
#include "qr/qr_module.h"
#include "zbar_decoder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using qr::detail::kVersionTable;

constexpr std::int32_t kWhite = 0xFFFFFF;
constexpr std::int32_t kBlack = 0;

// Two pixels per module: the smallest picture that keeps every module whole.
int pictureSideFor(int version) {
    return 2 * (17 + 4 * version + 4);
}

// Bytes of every value; the first is a lower-case letter so the text is in byte mode.
std::string byteText(std::size_t length, unsigned seed) {
    std::mt19937 generator(seed);
    std::string text(length, 'a');
    for (std::size_t i = 1; i < length; ++i)
        text[i] = static_cast<char>(generator() & 0xFF);
    return text;
}

struct Decoded {
    std::optional<std::string> text;
    int version = 0;
};

Decoded makeAndDecode(const std::string& text, std::string_view level, int side) {
    const qr::QrImage image = qr::CreateQrCode(text, level, side, side, kWhite, kBlack);
    if (!image) {
        ADD_FAILURE() << qr::describe(*image.error);
        return {};
    }
    return Decoded{qrtest::decodeBmpWithZbar(image.bmp), qr::detail::sharedCodeSnapshot().version};
}

class EveryVersionAndLevel : public testing::TestWithParam<int> {};

TEST_P(EveryVersionAndLevel, TheLongestTextThatFitsAndOneByteMoreRoundTrip) {
    const int version = GetParam();
    for (const auto& [level, index] :
         {std::pair{"L", 0}, std::pair{"M", 1}, std::pair{"Q", 2}, std::pair{"H", 3}}) {
        SCOPED_TRACE(testing::Message() << "version " << version << " level " << level);
        const auto& layout = kVersionTable[version - 1].layouts[index];
        // The chosen version keeps three bytes free for the header and the terminator.
        const auto longest = static_cast<std::size_t>(layout.dataCodewords() - 3);
        const std::string fits = byteText(longest, static_cast<unsigned>(version * 4 + index));
        const Decoded decoded = makeAndDecode(fits, level, pictureSideFor(version));
        EXPECT_EQ(decoded.version, version);
        ASSERT_TRUE(decoded.text.has_value());
        EXPECT_EQ(*decoded.text, fits);

        const std::string oneMore = fits + 'z';
        if (version == 40) {
            const qr::QrImage refused = qr::CreateQrCode(oneMore, level, 0, 0, kWhite, kBlack);
            ASSERT_FALSE(refused);
            EXPECT_EQ(refused.error->className, "编码类");
            EXPECT_EQ(refused.error->methodName, "初始化二维码");
            EXPECT_EQ(refused.error->message, "");
        } else {
            const Decoded next = makeAndDecode(oneMore, level, pictureSideFor(version + 1));
            EXPECT_EQ(next.version, version + 1);
            ASSERT_TRUE(next.text.has_value());
            EXPECT_EQ(*next.text, oneMore);
        }
    }
}

std::string versionName(const testing::TestParamInfo<int>& info) {
    std::string name(1, 'v');
    name.append(std::to_string(info.param));
    return name;
}

INSTANTIATE_TEST_SUITE_P(Versions, EveryVersionAndLevel, testing::Range(1, 41), versionName);

struct TextCase {
    const char* name;
    std::string text;
    const char* level;
};

class TextsRoundTrip : public testing::TestWithParam<TextCase> {};

TEST_P(TextsRoundTrip, AtTheChannelToolsSize) {
    const TextCase& row = GetParam();
    const qr::QrImage image = qr::CreateQrCode(row.text, row.level, 200, 200, kWhite, kBlack);
    ASSERT_TRUE(image) << qr::describe(*image.error);
    const std::optional<std::string> decoded = qrtest::decodeBmpWithZbar(image.bmp);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(*decoded, row.text);
}

std::string everyByteValue() {
    std::string text;
    for (int value = 0; value < 256; ++value)
        text += static_cast<char>(value);
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextsRoundTrip,
    testing::Values(TextCase{"ChineseUtf8", "码上扫一扫：淘宝好物，限时优惠！", "m"},
                    TextCase{"ChineseWithIdeographicSpaces", "　商品　链接　", "L"},
                    TextCase{"EveryByteValue", everyByteValue(), "l"},
                    TextCase{"Numeric", "01234567890123456789012345678901234567890123", "Q"},
                    TextCase{"NumericOneDigitLeft", "1234", "h"},
                    TextCase{"Alphanumeric", "HTTP://EXAMPLE.COM/$%*+-./: AC-42", "M"},
                    TextCase{"AlphanumericOddLength", "A", "L"}, TextCase{"SpacesAroundText", "  a b  ", "L"},
                    TextCase{"LowerCaseIsByteMode", "1a", "H"},
                    TextCase{"NulBytes", std::string("a\0b\0", 4), "L"}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.name); });

TEST(SmallPictures, ASymbolLargerThanTheRequestedSizeIsWholeAndReadable) {
    // 1200 bytes need version 25 (117 modules): more than 100 x 100 pixels can hold with the margin.
    const std::string text = byteText(1200, 99);
    const qr::QrImage image = qr::CreateQrCode(text, "L", 100, 100, kWhite, kBlack);
    ASSERT_TRUE(image);
    const std::optional<qrtest::GreyImage> grey = qrtest::greyFromBmp(image.bmp);
    ASSERT_TRUE(grey.has_value());
    EXPECT_EQ(grey->width, 121); // the whole symbol with its two-module margin, one pixel per module
    // zbar needs more than one pixel per module; shown three times larger, the picture reads back.
    EXPECT_EQ(qrtest::decodeWithZbar(qrtest::magnified(*grey, 3)), text);
}

std::vector<std::pair<std::string, std::string>> channelLinks() {
    std::ifstream file(QR_TEST_DATA_DIR "/qr_channel_links.txt");
    std::vector<std::pair<std::string, std::string>> links;
    std::string level;
    std::string link;
    while (file >> level >> link)
        links.emplace_back(level, link);
    return links;
}

TEST(ChannelLinks, AllTenRoundTripAt200By200) {
    const auto links = channelLinks();
    ASSERT_EQ(links.size(), 10u);
    for (const auto& [level, link] : links) {
        SCOPED_TRACE(link);
        const qr::QrImage image = qr::CreateQrCode(link, level, 200, 200, kWhite, kBlack);
        ASSERT_TRUE(image);
        EXPECT_EQ(image.bmp.size(), 120054u); // every link fits 200 x 200 with its margin
        EXPECT_EQ(qrtest::decodeBmpWithZbar(image.bmp), link);
    }
}

TEST(Threads, ConcurrentCallsEachGetTheirOwnPicture) {
    const auto links = channelLinks();
    ASSERT_EQ(links.size(), 10u);
    // What one caller alone gets is what every caller must get while the others run.
    std::vector<std::vector<std::uint8_t>> expected;
    for (const auto& [level, link] : links)
        expected.push_back(qr::CreateQrCode(link, level, 200, 200, kWhite, kBlack).bmp);

    constexpr int kThreads = 6;
    constexpr int kRounds = 5;
    std::vector<int> mismatches(kThreads, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < kRounds; ++round) {
                for (std::size_t i = 0; i < links.size(); ++i) {
                    const std::size_t which = (i + static_cast<std::size_t>(t)) % links.size();
                    const qr::QrImage image =
                        qr::CreateQrCode(links[which].second, links[which].first, 200, 200, kWhite, kBlack);
                    if (!image || image.bmp != expected[which])
                        ++mismatches[t];
                }
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(mismatches[t], 0) << "thread " << t;
    EXPECT_EQ(qrtest::decodeBmpWithZbar(expected[3]), links[3].second);
}

} // namespace
