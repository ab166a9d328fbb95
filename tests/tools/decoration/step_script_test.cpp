#include "tools/decoration/step_script.h"

#include "platform/files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <unistd.h>

namespace {

using decoration::ScriptError;
using decoration::Step;
using Kind = Step::Kind;

Step step(Kind kind, int line) {
    Step s;
    s.kind = kind;
    s.line = line;
    return s;
}
Step key(Kind kind, std::uint32_t code, bool alt, int line) {
    Step s = step(kind, line);
    s.keyCode = code;
    s.systemKey = alt;
    return s;
}
Step click(Kind kind, int x, int y, int button, int line) {
    Step s = step(kind, line);
    s.x = x;
    s.y = y;
    s.button = button;
    return s;
}
Step characters(std::u32string text, int line) {
    Step s = step(Kind::Characters, line);
    s.text = std::move(text);
    return s;
}
Step wait(int milliseconds, int line) {
    Step s = step(Kind::Wait, line);
    s.milliseconds = milliseconds;
    return s;
}

TEST(StepScriptTest, TheBuiltInScriptIsValid) {
    const auto steps = decoration::parseStepScript(decoration::defaultStepScriptText());
    ASSERT_TRUE(steps.has_value());
    ASSERT_EQ(steps->size(), 4u);
    EXPECT_EQ((*steps)[0].kind, Kind::KeyDown);
    EXPECT_EQ((*steps)[0].keyCode, 0x63u);
    EXPECT_EQ((*steps)[1].kind, Kind::ClickInWindow);
    EXPECT_EQ((*steps)[1].x, 407);
    EXPECT_EQ((*steps)[1].y, 293);
    EXPECT_EQ((*steps)[2].kind, Kind::WaitGeneration);
    EXPECT_EQ((*steps)[3].kind, Kind::ClickOnScreen);
    EXPECT_EQ((*steps)[3].x, 100);
    EXPECT_EQ((*steps)[3].y, 200);
}

TEST(StepScriptTest, EveryKindOfLine) {
    const char* text = "\xEF\xBB\xBF# comment\r\n"
                       "\r\n"
                       "  keydown Numpad3\r\n"
                       "KEYUP 0x63   # trailing comment\n"
                       "press enter alt\n"
                       "char a#b 商品\n"
                       "click 407 293\n"
                       "click 5 -6 right\n"
                       "click 1 2 left\n"
                       "screenclick 100 200\n"
                       "wait 250\n"
                       "generate\n"
                       "press f12";
    const auto steps = decoration::parseStepScript(text);
    ASSERT_TRUE(steps.has_value()) << steps.error().line;
    const decoration::StepList expected{
        key(Kind::KeyDown, 0x63, false, 3),
        key(Kind::KeyUp, 0x63, false, 4),
        key(Kind::KeyPress, 0x0D, true, 5),
        characters(U"a#b 商品", 6),
        click(Kind::ClickInWindow, 407, 293, 1, 7),
        click(Kind::ClickInWindow, 5, -6, 2, 8),
        click(Kind::ClickInWindow, 1, 2, 1, 9),
        click(Kind::ClickOnScreen, 100, 200, 1, 10),
        wait(250, 11),
        step(Kind::WaitGeneration, 12),
        key(Kind::KeyPress, 0x7B, false, 13),
    };
    EXPECT_EQ(*steps, expected);
}

TEST(StepScriptTest, FaultyLinesAreNamed) {
    struct Row {
        const char* text;
        int line;
    };
    const Row rows[] = {
        {"press Enter\njump 1 2", 2},
        {"press", 1},
        {"press NoSuchKey", 1},
        {"press A shift", 1},
        {"press A alt extra", 1},
        {"press 0x00", 1},
        {"press 0xFF", 1},
        {"press 0x1G", 1},
        {"keydown F0", 1},
        {"keydown F25", 1},
        {"keydown F+1", 1},
        {"click 1", 1},
        {"click 1 2 middle", 1},
        {"click 1 2 right extra", 1},
        {"click x 2", 1},
        {"click 1.5 2", 1},
        {"click 100001 2", 1},
        {"click 99999999999999999999 2", 1},
        {"screenclick 1 2 right", 1},
        {"wait", 1},
        {"wait -1", 1},
        {"wait 3600001", 1},
        {"wait 10ms", 1},
        {"generate 5", 1},
        {"char", 1},
        {"char ", 1},
        {"char \xC3\x28", 1},     // broken UTF-8
        {"char \xED\xA0\x80", 1}, // a surrogate
        {"char \xC0\xAF", 1},     // overlong
    };
    for (const Row& row : rows) {
        const auto steps = decoration::parseStepScript(row.text);
        ASSERT_FALSE(steps.has_value()) << row.text;
        EXPECT_EQ(steps.error().kind, ScriptError::Kind::Syntax) << row.text;
        EXPECT_EQ(steps.error().line, row.line) << row.text;
    }
}

TEST(StepScriptTest, AScriptWithoutActionsIsRefused) {
    for (const char* text : {"", "# nothing\n\n", "wait 100\ngenerate\n"}) {
        const auto steps = decoration::parseStepScript(text);
        ASSERT_FALSE(steps.has_value()) << text;
        EXPECT_EQ(steps.error().kind, ScriptError::Kind::Empty) << text;
    }
}

TEST(StepScriptTest, KeyNames) {
    struct Row {
        const char* name;
        std::uint32_t code;
    };
    const Row rows[] = {
        {"Enter", 0x0D},   {"TAB", 0x09},     {"esc", 0x1B},   {"PageDown", 0x22}, {"pageup", 0x21},
        {"Delete", 0x2E},  {"a", 'A'},        {"Z", 'Z'},      {"0", '0'},         {"9", '9'},
        {"Numpad0", 0x60}, {"numpad9", 0x69}, {"F1", 0x70},    {"f7", 0x76},       {"F24", 0x87},
        {"0x63", 0x63},    {"0X0d", 0x0D},    {"0xfe", 0xFE},  {"Ctrl", 0x11},     {"Alt", 0x12},
        {"", 0},           {"AB", 0},         {"Numpad10", 0}, {"F25", 0},         {"F01", 0},
        {"0x", 0},         {"0x100", 0},      {"商", 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(decoration::virtualKeyForName(row.name), row.code) << row.name;
}

class StepScriptFileTest : public testing::Test {
protected:
    void SetUp() override {
        m_directory = std::filesystem::temp_directory_path() /
                      ("varrow-steps-" + std::to_string(::getpid()) + "-" +
                       testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_directory);
        std::filesystem::create_directories(m_directory);
    }
    void TearDown() override {
        std::filesystem::permissions(m_directory, std::filesystem::perms::owner_all);
        std::filesystem::remove_all(m_directory);
    }
    std::filesystem::path m_directory;
};

TEST_F(StepScriptFileTest, AMissingFileGetsTheDefaultWrittenOut) {
    const auto path = m_directory / std::string(decoration::kStepScriptFileName);
    const auto steps = decoration::loadStepScript(path);
    ASSERT_TRUE(steps.has_value());
    EXPECT_EQ(*steps, *decoration::parseStepScript(decoration::defaultStepScriptText()));
    const auto written = platform::readWholeFile(path);
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(*written, decoration::defaultStepScriptText());
}

TEST_F(StepScriptFileTest, TheUsersFileIsRead) {
    const auto path = m_directory / "steps.txt";
    ASSERT_TRUE(platform::writeFileAtomically(path, "press Tab\r\nwait 5\r\n").has_value());
    const auto steps = decoration::loadStepScript(path);
    ASSERT_TRUE(steps.has_value());
    EXPECT_EQ(*steps, (decoration::StepList{key(Kind::KeyPress, 0x09, false, 1), wait(5, 2)}));

    ASSERT_TRUE(platform::writeFileAtomically(path, "press Tab\nclick here\n").has_value());
    const auto broken = decoration::loadStepScript(path);
    ASSERT_FALSE(broken.has_value());
    EXPECT_EQ(broken.error().line, 2);
}

TEST_F(StepScriptFileTest, AReadOnlyDirectoryStillGivesTheDefault) {
    std::filesystem::permissions(m_directory,
                                 std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const auto path = m_directory / "steps.txt";
    const auto steps = decoration::loadStepScript(path);
    ASSERT_TRUE(steps.has_value());
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(StepScriptFileTest, AnUnreadableFileIsReported) {
    const auto path = m_directory / "steps.txt";
    ASSERT_TRUE(platform::writeFileAtomically(path, "press Tab\n").has_value());
    std::filesystem::permissions(path, std::filesystem::perms::none);
    const auto steps = decoration::loadStepScript(path);
    ASSERT_FALSE(steps.has_value());
    EXPECT_EQ(steps.error().kind, ScriptError::Kind::Unreadable);
}

TEST_F(StepScriptFileTest, APipeOrAHugeFileIsRefusedWithoutReading) {
    const auto pipe = m_directory / "pipe.txt";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const auto fromPipe = decoration::loadStepScript(pipe); // would block for ever if read
    ASSERT_FALSE(fromPipe.has_value());
    EXPECT_EQ(fromPipe.error().kind, ScriptError::Kind::Unreadable);

    const auto huge = m_directory / "huge.txt";
    ASSERT_TRUE(platform::writeFileAtomically(huge, std::string(decoration::kMaxStepScriptBytes + 1, '#')));
    const auto fromHuge = decoration::loadStepScript(huge);
    ASSERT_FALSE(fromHuge.has_value());
    EXPECT_EQ(fromHuge.error().kind, ScriptError::Kind::Unreadable);
}

} // namespace
