// End-to-end runs of the command line: the real executable, its files, exit codes and messages.
#include "qr/qr_module.h"
#include "tools/channel_qr/channel_pictures.h"
#include "xlsx_reader.h"
#include "zbar_decoder.h"

#include "platform/files.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string quoted(const std::string& word) {
    std::string result = "'";
    for (const char c : word)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

class CommandLineTest : public testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("varrow-cli-" + std::to_string(::getpid()) + "-" +
                                             testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::permissions(m_dir, fs::perms::owner_all, ignored);
        fs::remove_all(m_dir, ignored);
    }

    /// Runs the program in the test's directory without a display.
    RunResult run(const std::vector<std::string>& arguments) const {
        const char* program = std::getenv("VARROW_TOOLBOX");
        EXPECT_NE(program, nullptr) << "VARROW_TOOLBOX names the executable";
        std::string command = "cd ";
        command += quoted(m_dir.string());
        command += " && env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=none ";
        command += quoted(program ? program : "false");
        for (const std::string& argument : arguments) {
            command += ' ';
            command += quoted(argument);
        }
        const fs::path errFile = fs::path(m_dir.string() + ".stderr");
        command += " 2>";
        command += quoted(errFile.string());
        RunResult result;
        FILE* pipe = ::popen(command.c_str(), "r");
        std::array<char, 4096> buffer{};
        while (size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe))
            result.out.append(buffer.data(), got);
        const int status = ::pclose(pipe);
        result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        result.err = platform::readWholeFile(errFile).value_or("");
        fs::remove(errFile);
        return result;
    }

    static std::vector<std::uint8_t> bytesOf(const fs::path& path) {
        const std::string content = platform::readWholeFile(path).value_or("");
        return {content.begin(), content.end()};
    }

    fs::path m_dir;
};

size_t countFiles(const fs::path& directory) {
    size_t count = 0;
    for (const auto& entry : fs::recursive_directory_iterator(directory))
        count += entry.is_regular_file() ? 1 : 0;
    return count;
}

} // namespace

TEST_F(CommandLineTest, VersionAndHelp) {
    const RunResult version = run({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "varrow-toolbox 0.1.0\n");
    const RunResult help = run({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    for (const char* command : {"qr", "channel-qr", "links"})
        EXPECT_NE(help.out.find(command), std::string::npos) << command;
    for (const char* command : {"qr", "channel-qr", "links"}) {
        const RunResult commandHelp = run({command, "--help"});
        EXPECT_EQ(commandHelp.exitCode, 0) << command;
        EXPECT_NE(commandHelp.out.find(std::string("varrow-toolbox ") + command), std::string::npos);
    }
}

TEST_F(CommandLineTest, QrWritesTheChannelToolsPicture) {
    const std::string text = "https://example.com/商品?id=1001";
    ASSERT_EQ(run({"qr", "-o", "code.bmp", text}).exitCode, 0);
    const auto written = bytesOf(m_dir / "code.bmp");
    const qr::QrImage expected = qr::CreateQrCode(text, "L", 200, 200, 0xFFFFFF, 0);
    ASSERT_TRUE(expected);
    EXPECT_EQ(written, expected.bmp);
    EXPECT_EQ(qrtest::decodeBmpWithZbar(written), text);

    ASSERT_EQ(run({"qr", "-l", "h", "-s", "301x150", "-o", "big.bmp", "VARROW"}).exitCode, 0);
    const qr::QrImage large = qr::CreateQrCode("VARROW", "H", 301, 150, 0xFFFFFF, 0);
    EXPECT_EQ(bytesOf(m_dir / "big.bmp"), large.bmp);
}

TEST_F(CommandLineTest, QrMisuseAndFailures) {
    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
        std::string inMessage;
    };
    const std::vector<Case> cases{
        {{"qr", "text"}, 2, "-o"},
        {{"qr", "-o", "a.bmp"}, 2, "文字"},
        {{"qr", "-l", "X", "-o", "a.bmp", "text"}, 2, "L、M、Q、H"},
        {{"qr", "-s", "200", "-o", "a.bmp", "text"}, 2, "宽x高"},
        {{"qr", "-s", "0x200", "-o", "a.bmp", "text"}, 2, "宽x高"},
        {{"qr", "--bogus", "-o", "a.bmp", "text"}, 2, "--bogus"},
        {{"qr", "-o", "a.bmp", "　 "}, 1, "没有编码内容"},
        {{"qr", "-o", "missing/dir/a.bmp", "text"}, 1, "missing/dir/a.bmp"},
        {{"nonsense"}, 2, "nonsense"},
    };
    for (const Case& c : cases) {
        const RunResult result = run(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments.back();
        EXPECT_NE(result.err.find(c.inMessage), std::string::npos) << result.err;
        EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << "one line: " << result.err;
    }
    EXPECT_EQ(countFiles(m_dir), 0u) << "nothing half-written stays behind";
}

TEST_F(CommandLineTest, ChannelQrSavesAsTheTabDoes) {
    ASSERT_EQ(run({"channel-qr", " 1001 "}).exitCode, 0);
    const auto pictures = channel_qr::generatePictures("1001");
    ASSERT_TRUE(pictures);
    const fs::path directory = m_dir / "生成的渠道码";
    for (const channel_qr::ChannelPicture& picture : *pictures) {
        const auto written = bytesOf(directory / (picture.caption + ".jpg"));
        EXPECT_EQ(written, picture.bmp) << picture.caption;
        EXPECT_EQ(qrtest::decodeBmpWithZbar(written), picture.link) << picture.caption;
    }
    EXPECT_EQ(countFiles(directory), 10u);
}

TEST_F(CommandLineTest, ChannelQrForSeveralIdsAndFromAFile) {
    ASSERT_TRUE(platform::writeFileAtomically(m_dir / "ids.txt", "2002\r\n\r\n3003\n"));
    const RunResult result = run({"channel-qr", "-o", "out", "-i", "ids.txt", "1001"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    for (const char* id : {"1001", "2002", "3003"}) {
        const auto pictures = channel_qr::generatePictures(id);
        ASSERT_TRUE(pictures);
        EXPECT_EQ(bytesOf(m_dir / "out" / id / "问大家.jpg"), (*pictures)[9].bmp) << id;
    }
    EXPECT_EQ(countFiles(m_dir / "out"), 30u);

    EXPECT_EQ(run({"channel-qr"}).exitCode, 2);
    EXPECT_EQ(run({"channel-qr", "1", "../escape"}).exitCode, 2);
    const RunResult missing = run({"channel-qr", "-i", "no-such-file.txt"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("no-such-file.txt"), std::string::npos);
}

TEST_F(CommandLineTest, ChannelQrIntoReadOnlyDirectoryFails) {
    fs::create_directories(m_dir / "locked");
    fs::permissions(m_dir / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    const RunResult result = run({"channel-qr", "-o", "locked/codes", "1001"});
    fs::permissions(m_dir / "locked", fs::perms::owner_all);
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("locked"), std::string::npos) << result.err;
    EXPECT_EQ(countFiles(m_dir / "locked"), 0u);
}

TEST_F(CommandLineTest, LinksExportsTheWorkbook) {
    ASSERT_TRUE(platform::writeFileAtomically(m_dir / "ids.txt", "1234567890123456789\r\n\r\n42\r\n"));
    ASSERT_EQ(run({"links", "-m", "taobao", "ids.txt"}).exitCode, 0);
    const auto workbook = readWorkbook(m_dir / "商品链接.xlsx");
    ASSERT_TRUE(workbook);
    EXPECT_EQ(workbook->cell(1, 1).value, "商品ID");
    EXPECT_EQ(workbook->cell(1, 2).value, "商品地址");
    EXPECT_EQ(workbook->cell(2, 1).value, "1234567890123456789");
    EXPECT_EQ(workbook->cell(2, 1).type, "s");
    EXPECT_EQ(workbook->cell(2, 2).value, "https://item.taobao.com/item.htm?id=1234567890123456789");
    EXPECT_EQ(workbook->cell(3, 1).type, "empty");
    EXPECT_EQ(workbook->cell(4, 2).value, "https://item.taobao.com/item.htm?id=42");
    EXPECT_EQ(workbook->rows.size(), 4u);

    ASSERT_EQ(run({"links", "-m", "douyin", "-o", "dy.xlsx", "ids.txt"}).exitCode, 0);
    const auto douyin = readWorkbook(m_dir / "dy.xlsx");
    ASSERT_TRUE(douyin);
    EXPECT_EQ(douyin->cell(4, 2).value,
              "https://haohuo.jinritemai.com/views/product/detail?id=42&origin_type=604");
}

TEST_F(CommandLineTest, LinksMisuseAndFailures) {
    ASSERT_TRUE(platform::writeFileAtomically(m_dir / "ids.txt", "1\n"));
    EXPECT_EQ(run({"links", "ids.txt"}).exitCode, 2);
    EXPECT_EQ(run({"links", "-m", "jd", "ids.txt"}).exitCode, 2);
    EXPECT_EQ(run({"links", "-m", "taobao"}).exitCode, 2);
    const RunResult missing = run({"links", "-m", "taobao", "none.txt"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("none.txt"), std::string::npos);

    ASSERT_TRUE(platform::writeFileAtomically(m_dir / "old.xlsx", "old workbook"));
    fs::permissions(m_dir, fs::perms::owner_read | fs::perms::owner_exec);
    const RunResult locked = run({"links", "-m", "taobao", "-o", "old.xlsx", "ids.txt"});
    fs::permissions(m_dir, fs::perms::owner_all);
    EXPECT_EQ(locked.exitCode, 1);
    EXPECT_EQ(platform::readWholeFile(m_dir / "old.xlsx").value_or(""), "old workbook");
}
