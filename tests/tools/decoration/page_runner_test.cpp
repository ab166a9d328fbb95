#include "recording_window_input.h"
#include "tools/decoration/page_runner.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using decoration::RunEnd;
using decoration::RunReport;

// Records the waits instead of sleeping; can raise the stop flag when a given wait begins.
class RecordingPause final : public decoration::Pause {
public:
    std::vector<int> waits;
    int stopAtWait = -1; ///< index of the wait during which the user asks to stop
    bool stopFlag = false;

    bool wait(std::chrono::milliseconds duration, const decoration::StopCheck& stopRequested) override {
        if (static_cast<int>(waits.size()) == stopAtWait)
            stopFlag = true;
        waits.push_back(static_cast<int>(duration.count()));
        return !stopRequested();
    }
};

decoration::StepList script(const char* text) {
    auto steps = decoration::parseStepScript(text);
    EXPECT_TRUE(steps.has_value());
    return steps.value_or(decoration::StepList{});
}

class PageRunnerTest : public testing::Test {
protected:
    RunReport run(const decoration::StepList& steps, decoration::RunSettings settings) {
        decoration::RunHooks hooks;
        hooks.stopRequested = [this] { return m_pause.stopFlag; };
        hooks.pageStarted = [this](int page, int pages) { m_pages.push_back({page, pages}); };
        return decoration::runDecoration(m_input, steps, settings, m_pause, hooks);
    }

    RecordingWindowInput m_input;
    RecordingPause m_pause;
    std::vector<std::pair<int, int>> m_pages;
};

TEST_F(PageRunnerTest, ThreePagesPlayTheScriptThreeTimes) {
    const auto steps = script("press 0x63\nclick 407 293\ngenerate\nscreenclick 100 200\n");
    const RunReport report = run(steps, {.actionDelayMs = 500, .generationDelayMs = 22000, .pages = 3});
    EXPECT_EQ(report, (RunReport{RunEnd::Finished, 3}));
    std::vector<std::string> expected{"find"};
    for (int page = 0; page < 3; ++page)
        expected.insert(expected.end(), {"key 42 press 99", "click 42 407 293 1", "screenclick 100 200"});
    EXPECT_EQ(m_input.calls, expected);
    // After each action the action delay, a generate step the generation delay; none after the last.
    const std::vector<int> onePage{500, 500, 22000, 500};
    std::vector<int> waits;
    for (int page = 0; page < 3; ++page)
        waits.insert(waits.end(), onePage.begin(), onePage.end());
    waits.pop_back();
    EXPECT_EQ(m_pause.waits, waits);
    EXPECT_EQ(m_pages, (std::vector<std::pair<int, int>>{{1, 3}, {2, 3}, {3, 3}}));
}

TEST_F(PageRunnerTest, EveryBuildingBlock) {
    const auto steps = script("keydown A\nkeyup A alt\nchar x:商\nclick 5 6 right\nwait 40\n");
    EXPECT_EQ(run(steps, {.actionDelayMs = 7, .generationDelayMs = 9, .pages = 1}),
              (RunReport{RunEnd::Finished, 1}));
    EXPECT_EQ(m_input.calls,
              (std::vector<std::string>{"find", "key 42 down 65", "key 42 up 65 alt", "key 42 char 120",
                                        "key 42 char 58", "key 42 char " + std::to_string(U'商'),
                                        "click 42 5 6 2"}));
    EXPECT_EQ(m_pause.waits, (std::vector<int>{7, 7, 7, 40})) << "no action delay after the last action";
}

TEST_F(PageRunnerTest, NoWindowMeansNoAction) {
    m_input.target = 0;
    EXPECT_EQ(run(script("press A\n"), {}), (RunReport{RunEnd::NoWindow, 0}));
    EXPECT_EQ(m_input.calls, std::vector<std::string>{"find"});
    EXPECT_TRUE(m_pause.waits.empty());
    EXPECT_TRUE(m_pages.empty());
}

TEST_F(PageRunnerTest, AStopIsObeyedBetweenTwoActions) {
    const auto steps = script("press A\npress B\ngenerate\n");
    struct Row {
        const char* name;
        int stopAtWait;
        std::size_t actions;
        int pagesDone;
    };
    // Waits per page: A-delay, B-delay, generation.
    const Row rows[] = {
        {"during the first action delay", 0, 1, 0},
        {"during the generation delay of page 1", 2, 2, 0},
        {"during the first delay of page 2", 3, 3, 1},
    };
    for (const Row& row : rows) {
        m_input.calls.clear();
        m_pause = RecordingPause{};
        m_pause.stopAtWait = row.stopAtWait;
        const RunReport report = run(steps, {.actionDelayMs = 5, .generationDelayMs = 50, .pages = 20});
        EXPECT_EQ(report, (RunReport{RunEnd::Stopped, row.pagesDone})) << row.name;
        EXPECT_EQ(m_input.calls.size(), 1 + row.actions) << row.name;
        EXPECT_EQ(m_pause.waits.size(), static_cast<std::size_t>(row.stopAtWait + 1)) << row.name;
    }
}

TEST_F(PageRunnerTest, AStopAfterAPagesLastActionCountsThatPage) {
    m_pause.stopAtWait = 1;
    EXPECT_EQ(run(script("press A\npress B\n"), {.actionDelayMs = 5, .generationDelayMs = 5, .pages = 3}),
              (RunReport{RunEnd::Stopped, 1}));
}

TEST_F(PageRunnerTest, AStopBeforeTheStartDoesNothing) {
    m_pause.stopFlag = true;
    EXPECT_EQ(run(script("press A\n"), {.actionDelayMs = 5, .generationDelayMs = 5, .pages = 3}),
              (RunReport{RunEnd::Stopped, 0}));
    EXPECT_EQ(m_input.calls, std::vector<std::string>{"find"});
}

TEST_F(PageRunnerTest, ABrowserClosedDuringTheRunEndsIt) {
    m_input.actionsUntilWindowCloses = 4;
    const RunReport report = run(script("press A\nscreenclick 1 2\ngenerate\n"),
                                 {.actionDelayMs = 5, .generationDelayMs = 5, .pages = 5});
    EXPECT_EQ(report, (RunReport{RunEnd::WindowClosed, 2}));
    EXPECT_EQ(m_input.calls.size(), 1u + 4u) << "no click on the screen once the browser is gone";
}

TEST(SlicedPauseTest, WaitsOrStops) {
    decoration::SlicedPause pause(std::chrono::milliseconds(1));
    EXPECT_TRUE(pause.wait(std::chrono::milliseconds(3), [] { return false; }));
    EXPECT_TRUE(pause.wait(std::chrono::milliseconds(0), [] { return false; }));
    EXPECT_FALSE(pause.wait(std::chrono::hours(1), [] { return true; })) << "a stop ends even a long wait";
    std::atomic<bool> stop{false};
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        stop = true;
    });
    EXPECT_FALSE(pause.wait(std::chrono::hours(1), [&] { return stop.load(); }));
    stopper.join();
}

} // namespace
