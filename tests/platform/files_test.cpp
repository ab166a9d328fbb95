#include "platform/files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

class FilesTest : public testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("varrow-files-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        fs::permissions(m_dir, fs::perms::owner_all);
        fs::remove_all(m_dir);
    }
    fs::path m_dir;
};

TEST_F(FilesTest, WritesWholeFileAndReadsItBack) {
    const std::string bytes("BM\0\x01\xff binary", 12);
    ASSERT_TRUE(platform::writeFileAtomically(m_dir / "a.jpg", bytes));
    EXPECT_EQ(platform::readWholeFile(m_dir / "a.jpg").value(), bytes);
    ASSERT_TRUE(platform::writeFileAtomically(m_dir / "a.jpg", "short"));
    EXPECT_EQ(platform::readWholeFile(m_dir / "a.jpg").value(), "short");
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1)
        << "no temporary left";
}

TEST_F(FilesTest, FailedWriteKeepsOldContentAndReportsIt) {
    ASSERT_TRUE(platform::writeFileAtomically(m_dir / "keep.txt", "old"));
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
    const auto result = platform::writeFileAtomically(m_dir / "keep.txt", "new");
    fs::permissions(m_dir, fs::perms::owner_all);
    ASSERT_FALSE(result);
    EXPECT_NE(result.error().find("keep.txt"), std::string::npos);
    EXPECT_EQ(platform::readWholeFile(m_dir / "keep.txt").value(), "old");
}

TEST_F(FilesTest, MissingFileIsAnError) {
    const auto result = platform::readWholeFile(m_dir / "missing.txt");
    ASSERT_FALSE(result);
    EXPECT_NE(result.error().find("missing.txt"), std::string::npos);
}

TEST_F(FilesTest, WriteIntoMissingDirectoryFails) {
    EXPECT_FALSE(platform::writeFileAtomically(m_dir / "no" / "such" / "file", "x"));
}
