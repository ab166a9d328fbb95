#include "tools/channel_qr/channel_pictures.h"

#include "platform/files.h"
#include "zbar_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;
using channel_qr::ChannelPictures;
using channel_qr::kChannelCount;

namespace {

std::string_view asText(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

fs::path utf8Path(std::string_view text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

std::vector<std::string> decodeBmp(std::string_view bmp) {
    const std::optional<qrtest::GreyImage> image = qrtest::greyFromBmp(bmp);
    if (!image)
        return {};
    return qrtest::decodeAllWithZbar(*image);
}

// Generating takes a moment; the pictures of two products are made once for all tests.
class ChannelPicturesTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        qr::initModule();
        auto first = channel_qr::generatePictures("1001");
        auto second = channel_qr::generatePictures("575000111222");
        ASSERT_TRUE(first) << qr::describe(first.error().report);
        ASSERT_TRUE(second) << qr::describe(second.error().report);
        s_product1001 = new ChannelPictures(std::move(*first));
        s_otherProduct = new ChannelPictures(std::move(*second));
    }
    static void TearDownTestSuite() {
        delete s_product1001;
        delete s_otherProduct;
    }

    void SetUp() override {
        ASSERT_NE(s_product1001, nullptr);
        m_dir = fs::temp_directory_path() / ("varrow-channel-qr-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(m_dir, fs::perms::owner_all, ignored);
        fs::permissions(outputDir(), fs::perms::owner_all, ignored);
        fs::remove_all(m_dir);
    }

    fs::path outputDir() const { return m_dir / utf8Path(channel_qr::kOutputDirectoryName); }
    std::size_t filesIn(const fs::path& dir) const {
        return fs::exists(dir) ? static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {})) : 0;
    }

    static inline ChannelPictures* s_product1001 = nullptr;
    static inline ChannelPictures* s_otherProduct = nullptr;
    fs::path m_dir;
};

} // namespace

TEST_F(ChannelPicturesTest, EveryPictureIsA200By200BmpThatDecodesToItsLink) {
    const channel_qr::ChannelLinks links = channel_qr::channelLinks("1001");
    for (std::size_t i = 0; i < kChannelCount; ++i) {
        const channel_qr::ChannelPicture& picture = (*s_product1001)[i];
        SCOPED_TRACE(picture.caption);
        EXPECT_EQ(picture.caption, links[i].caption);
        EXPECT_EQ(picture.link, links[i].link);
        ASSERT_GE(picture.bmp.size(), 54u);
        EXPECT_EQ(asText(picture.bmp).substr(0, 2), "BM");
        // 200 x 200 pixels of 3 bytes, rows of 600 bytes need no padding.
        EXPECT_EQ(picture.bmp.size(), 54u + 600u * 200u);
        EXPECT_EQ(decodeBmp(asText(picture.bmp)), std::vector<std::string>{links[i].link});
    }
}

TEST_F(ChannelPicturesTest, LastChannelIsAskedAtLevelM) {
    // Same link at L and at M must differ when the module honours the level; the tool's picture is the M one.
    const channel_qr::ChannelLinks links = channel_qr::channelLinks("1001");
    channel_qr::ChannelLink atLevelL = links[9];
    atLevelL.level = "l";
    const auto lowLevel = channel_qr::makeChannelPicture(atLevelL);
    ASSERT_TRUE(lowLevel);
    EXPECT_NE(lowLevel->bmp, (*s_product1001)[9].bmp);
    channel_qr::ChannelLink atLevelM = links[9];
    const auto mediumLevel = channel_qr::makeChannelPicture(atLevelM);
    ASSERT_TRUE(mediumLevel);
    EXPECT_EQ(mediumLevel->bmp, (*s_product1001)[9].bmp);
}

TEST_F(ChannelPicturesTest, SavesTheTenFilesUnderTheirCaptionsWithTheExactBytes) {
    const auto saved = channel_qr::savePictures(m_dir, *s_product1001);
    ASSERT_TRUE(saved) << saved.error().path << ": " << saved.error().reason;
    EXPECT_EQ(*saved, outputDir());
    EXPECT_EQ(filesIn(outputDir()), kChannelCount) << "ten files and no temporaries";
    const channel_qr::ChannelLinks links = channel_qr::channelLinks("1001");
    for (std::size_t i = 0; i < kChannelCount; ++i) {
        const fs::path file = outputDir() / utf8Path(std::string(channel_qr::kChannels[i].caption) + ".jpg");
        SCOPED_TRACE(file);
        const auto content = platform::readWholeFile(file);
        ASSERT_TRUE(content) << content.error();
        EXPECT_EQ(*content, asText((*s_product1001)[i].bmp));
        EXPECT_TRUE(content->starts_with("BM"));
        EXPECT_EQ(decodeBmp(*content), std::vector<std::string>{links[i].link});
    }
}

TEST_F(ChannelPicturesTest, SecondSaveOverwritesAllTenFiles) {
    ASSERT_TRUE(channel_qr::savePictures(m_dir, *s_product1001));
    ASSERT_TRUE(channel_qr::savePictures(m_dir, *s_otherProduct));
    EXPECT_EQ(filesIn(outputDir()), kChannelCount) << "the ID never appears in a file name";
    for (const channel_qr::ChannelPicture& picture : *s_otherProduct) {
        const auto content =
            platform::readWholeFile(outputDir() / channel_qr::pictureFileName(picture.caption));
        ASSERT_TRUE(content);
        EXPECT_EQ(decodeBmp(*content), std::vector<std::string>{picture.link}) << picture.caption;
    }
}

TEST_F(ChannelPicturesTest, ReadOnlyBaseDirectoryIsReportedWithItsPath) {
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
    const auto saved = channel_qr::savePictures(m_dir, *s_product1001);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().path, outputDir());
    EXPECT_FALSE(saved.error().reason.empty());
    EXPECT_FALSE(fs::exists(outputDir()));
}

TEST_F(ChannelPicturesTest, ReadOnlyOutputDirectoryNamesTheFirstFileAndKeepsOldFiles) {
    ASSERT_TRUE(channel_qr::savePictures(m_dir, *s_product1001));
    fs::permissions(outputDir(), fs::perms::owner_read | fs::perms::owner_exec);
    const auto saved = channel_qr::savePictures(m_dir, *s_otherProduct);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().path, outputDir() / utf8Path("猜你喜欢.jpg"));
    EXPECT_NE(saved.error().reason.find("猜你喜欢.jpg"), std::string::npos);
    const auto content = platform::readWholeFile(outputDir() / utf8Path("猜你喜欢.jpg"));
    ASSERT_TRUE(content);
    EXPECT_EQ(*content, asText((*s_product1001)[0].bmp));
}

TEST_F(ChannelPicturesTest, AFailureHalfWayLeavesTheOldSetWhole) {
    ASSERT_TRUE(channel_qr::savePictures(m_dir, *s_product1001));
    const fs::path sixth = outputDir() / channel_qr::pictureFileName((*s_product1001)[5].caption);
    fs::remove(sixth);
    fs::create_directory(sixth); // something in the way of the sixth picture only
    const auto saved = channel_qr::savePictures(m_dir, *s_otherProduct);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().path, sixth);
    for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
        if (channel == 5)
            continue;
        const auto content = platform::readWholeFile(
            outputDir() / channel_qr::pictureFileName((*s_product1001)[channel].caption));
        ASSERT_TRUE(content);
        EXPECT_EQ(*content, asText((*s_product1001)[channel].bmp)) << "channel " << channel + 1;
    }
    EXPECT_EQ(filesIn(outputDir()), kChannelCount) << "no temporary is left behind";
}

// A save stopped at any step (the program quitting) leaves the older set whole and no temporary.
TEST_F(ChannelPicturesTest, AStoppedSaveLeavesTheOldSetWhole) {
    ASSERT_TRUE(channel_qr::savePictures(m_dir, *s_product1001));
    constexpr int kPictures = static_cast<int>(kChannelCount);
    for (const int stopAt : {1, 4, kPictures, kPictures + 1}) {
        SCOPED_TRACE(stopAt);
        int asked = 0;
        const auto saved =
            channel_qr::savePictures(m_dir, *s_otherProduct, [&] { return ++asked == stopAt; });
        ASSERT_FALSE(saved);
        EXPECT_EQ(asked, stopAt);
        EXPECT_EQ(filesIn(outputDir()), kChannelCount) << "no temporary is left behind";
        for (const channel_qr::ChannelPicture& picture : *s_product1001) {
            const auto content =
                platform::readWholeFile(outputDir() / channel_qr::pictureFileName(picture.caption));
            ASSERT_TRUE(content);
            EXPECT_EQ(*content, asText(picture.bmp)) << picture.caption;
        }
    }
    int asked = 0;
    EXPECT_TRUE(channel_qr::savePictures(m_dir, *s_otherProduct, [&] { return ++asked > 100; }));
    EXPECT_EQ(asked, kPictures + 1) << "asked before each picture and before renaming";
}

TEST_F(ChannelPicturesTest, AFileWhereTheDirectoryShouldBeIsReported) {
    ASSERT_TRUE(platform::writeFileAtomically(outputDir(), "not a directory"));
    const auto saved = channel_qr::savePictures(m_dir, *s_product1001);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().path, outputDir());
}

TEST_F(ChannelPicturesTest, IncompleteSetWritesNothing) {
    ChannelPictures missingOne = *s_product1001;
    missingOne[7].bmp.clear();
    const auto saved = channel_qr::savePictures(m_dir, missingOne);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().path, outputDir() / utf8Path("微详情.jpg"));
    EXPECT_FALSE(fs::exists(outputDir()));

    const auto nothingGenerated = channel_qr::savePictures(m_dir, ChannelPictures{});
    EXPECT_FALSE(nothingGenerated);
    EXPECT_FALSE(fs::exists(outputDir()));
}

TEST_F(ChannelPicturesTest, ModuleReportComesBackAsAValueNamingTheChannel) {
    // 3000 digits do not fit into the largest symbol at level L; the tool must get the report, not end.
    const auto tooLong = channel_qr::generatePictures(std::string(3000, '7'));
    ASSERT_FALSE(tooLong);
    EXPECT_EQ(tooLong.error().channel, 0u);
    EXPECT_FALSE(tooLong.error().report.className.empty());
    EXPECT_FALSE(tooLong.error().report.methodName.empty());
}
