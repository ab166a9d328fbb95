// Runs under Xvfb: finds, keys and clicks fake browser windows through the real X11 layer.
#include "fake_target_window.h"
#include "platform/window_input.h"

// gtest first: the X headers define None and Bool as macros.
#include <gtest/gtest.h>

#include "platform/x11_display.h"
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <memory>
#include <optional>
#include <thread>

namespace {

using platform::KeyKind;
using Options = FakeTargetWindow::Options;

class WindowInputTest : public testing::Test {
protected:
    void SetUp() override {
        m_display = platform::x11::openDisplay();
        ASSERT_NE(m_display, nullptr) << "run under xvfb-run";
        auto opened = platform::openWindowInput();
        ASSERT_TRUE(opened.has_value()) << opened.error().detail;
        m_input = std::move(*opened);
    }
    void TearDown() override {
        if (m_display) {
            XDeleteProperty(m_display, DefaultRootWindow(m_display), stackingAtom());
            XCloseDisplay(m_display);
        }
    }

    Atom stackingAtom() { return XInternAtom(m_display, "_NET_CLIENT_LIST_STACKING", False); }

    // Stands in for a window manager's list, bottom first.
    void setStackingList(std::vector<unsigned long> bottomFirst) {
        XChangeProperty(m_display, DefaultRootWindow(m_display), stackingAtom(), XA_WINDOW, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(bottomFirst.data()),
                        static_cast<int>(bottomFirst.size()));
        XSync(m_display, False);
    }

    void moveCursor(int x, int y) {
        XWarpPointer(m_display, None, DefaultRootWindow(m_display), 0, 0, 0, 0, x, y);
        XSync(m_display, False);
    }

    std::pair<int, int> cursor() {
        Window root = None;
        Window child = None;
        int x = 0, y = 0, windowX = 0, windowY = 0;
        unsigned int mask = 0;
        XQueryPointer(m_display, DefaultRootWindow(m_display), &root, &child, &x, &y, &windowX, &windowY,
                      &mask);
        return {x, y};
    }

    unsigned int keycodeOf(KeySym keysym) { return XKeysymToKeycode(m_display, keysym); }

    Display* m_display = nullptr;
    std::unique_ptr<platform::WindowInput> m_input;
};

TEST_F(WindowInputTest, FindsTheBrowserWindowByClassAndTitle) {
    struct Row {
        const char* name;
        Options options;
        bool found;
    };
    const Row rows[] = {
        {"exact title", Options{}, true},
        {"title in lower case", Options{.title = "批量 - 旺铺-商品装修 - google chrome"}, true},
        {"title only in WM_NAME",
         Options{.title = "旺铺-商品装修 - GOOGLE Chrome", .titleInNetWmName = false}, true},
        {"other page", Options{.title = "淘宝网 - Google Chrome"}, false},
        {"other browser", Options{.title = "旺铺-商品装修 - Mozilla Firefox"}, false},
        {"other class", Options{.windowClass = "Firefox"}, false},
        {"empty title", Options{.title = ""}, false},
    };
    for (const Row& row : rows) {
        FakeTargetWindow window(row.options);
        EXPECT_EQ(m_input->findTargetWindow(), row.found ? window.id() : 0) << row.name;
    }
    EXPECT_EQ(m_input->findTargetWindow(), 0u) << "all windows are gone";
}

TEST_F(WindowInputTest, OfTwoMatchingWindowsTheTopOneIsUsed) {
    FakeTargetWindow first;
    FakeTargetWindow second(Options{.x = 600});
    FakeTargetWindow decoy(Options{.title = "其他 - Google Chrome", .x = 300});
    EXPECT_EQ(m_input->findTargetWindow(), second.id()) << "mapped last, so on top";
    first.raise();
    EXPECT_EQ(m_input->findTargetWindow(), first.id());
    second.raise();
    EXPECT_EQ(m_input->findTargetWindow(), second.id());
}

TEST_F(WindowInputTest, AWindowManagersStackingListDecidesTheOrder) {
    FakeTargetWindow a;
    FakeTargetWindow b(Options{.x = 600});
    setStackingList({a.id(), b.id()});
    EXPECT_EQ(m_input->findTargetWindow(), b.id());
    setStackingList({b.id(), a.id()});
    EXPECT_EQ(m_input->findTargetWindow(), a.id());
    setStackingList({b.id(), 0x7FFFFF, a.id() + 100000}); // stale entries of windows that are gone
    EXPECT_EQ(m_input->findTargetWindow(), b.id());
}

TEST_F(WindowInputTest, WindowExists) {
    std::optional<FakeTargetWindow> window(std::in_place);
    const platform::WindowId id = window->id();
    EXPECT_TRUE(m_input->windowExists(id));
    window.reset();
    EXPECT_FALSE(m_input->windowExists(id));
    EXPECT_FALSE(m_input->windowExists(0));
}

TEST_F(WindowInputTest, PostedKeysReachTheTargetNotTheFocus) {
    FakeTargetWindow target;
    FakeTargetWindow focused(Options{.title = "别的窗口", .x = 600});
    XSetInputFocus(m_display, focused.id(), RevertToParent, CurrentTime);
    XSync(m_display, False);

    struct Row {
        const char* name;
        std::uint32_t code;
        KeyKind kind;
        bool systemKey;
        KeySym keysym;
        std::vector<bool> pressThenRelease;
        unsigned int state;
    };
    const Row rows[] = {
        {"press of A", 0x41, KeyKind::Press, false, XK_a, {true, false}, 0},
        {"down of numpad 3", 0x63, KeyKind::Down, false, XK_KP_3, {true}, Mod2Mask},
        {"up of Tab", 0x09, KeyKind::Up, false, XK_Tab, {false}, 0},
        {"system press of F", 0x46, KeyKind::Press, true, XK_f, {true, false}, Mod1Mask},
        {"character x", 'x', KeyKind::Character, false, XK_x, {true, false}, 0},
        {"character colon is shifted", ':', KeyKind::Character, false, XK_colon, {true, false}, ShiftMask},
    };
    for (const Row& row : rows) {
        target.clearRecords();
        m_input->postKey(target.id(), row.code, row.kind, row.systemKey);
        ASSERT_TRUE(target.waitFor([&](const FakeTargetWindow& w) {
            return w.keys().size() >= row.pressThenRelease.size();
        })) << row.name;
        const auto keys = target.keys();
        ASSERT_EQ(keys.size(), row.pressThenRelease.size()) << row.name;
        for (std::size_t i = 0; i < keys.size(); ++i) {
            EXPECT_EQ(keys[i].press, row.pressThenRelease[i]) << row.name;
            EXPECT_EQ(keys[i].keycode, keycodeOf(row.keysym)) << row.name;
            EXPECT_EQ(keys[i].state, row.state) << row.name;
            EXPECT_TRUE(keys[i].synthetic) << row.name;
        }
    }
    EXPECT_TRUE(focused.keys().empty()) << "the focused window must not see the keys";
}

TEST_F(WindowInputTest, KeysForNothingAreIgnored) {
    FakeTargetWindow target;
    std::optional<FakeTargetWindow> gone(std::in_place, Options{.x = 600});
    const platform::WindowId goneId = gone->id();
    gone.reset();
    m_input->postKey(goneId, 0x41, KeyKind::Press, false); // must not end the process
    m_input->postKey(0, 0x41, KeyKind::Press, false);
    m_input->postKey(target.id(), 0x07, KeyKind::Press, false); // no such key
    m_input->postKey(target.id(), 0x42, KeyKind::Press, false);
    ASSERT_TRUE(target.waitFor([](const FakeTargetWindow& w) { return w.keys().size() >= 2; }));
    EXPECT_EQ(target.keys().front().keycode, keycodeOf(XK_b)) << "only B arrived";
}

TEST_F(WindowInputTest, ClickInWindowPutsTheCursorBack) {
    FakeTargetWindow target(Options{.x = 100, .y = 100});
    struct Row {
        const char* name;
        std::optional<int> x;
        std::optional<int> y;
        int kind;
        std::vector<FakeTargetWindow::ButtonEvent> expected;
    };
    // The cursor starts at (150, 20) on the screen, that is (50, -80) in the window.
    const Row rows[] = {
        {"left click", 40, 60, 1, {{true, 1, 40, 60}, {false, 1, 40, 60}}},
        {"kind 0 is a left click", 10, 20, 0, {{true, 1, 10, 20}, {false, 1, 10, 20}}},
        {"right click", 200, 150, 2, {{true, 3, 200, 150}, {false, 3, 200, 150}}},
        {"x not given keeps the cursor's x", std::nullopt, 30, 1, {{true, 1, 50, 30}, {false, 1, 50, 30}}},
        {"left down without release", 70, 80, 3, {{true, 1, 70, 80}}},
        {"other kinds do nothing", 40, 60, 4, {}},
        {"negative kinds do nothing", 40, 60, -1, {}},
    };
    for (const Row& row : rows) {
        target.clearRecords();
        moveCursor(150, 20);
        m_input->clickInWindow(target.id(), row.x, row.y, row.kind);
        if (!row.expected.empty()) {
            ASSERT_TRUE(target.waitFor([&](const FakeTargetWindow& w) {
                return w.buttons().size() >= row.expected.size();
            })) << row.name;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(20)); // a stray click would show by now
        }
        XSync(m_display, False);
        const auto buttons = target.buttons();
        ASSERT_EQ(buttons.size(), row.expected.size()) << row.name;
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            EXPECT_EQ(buttons[i].press, row.expected[i].press) << row.name;
            EXPECT_EQ(buttons[i].button, row.expected[i].button) << row.name;
            EXPECT_EQ(buttons[i].x, row.expected[i].x) << row.name;
            EXPECT_EQ(buttons[i].y, row.expected[i].y) << row.name;
        }
        EXPECT_EQ(cursor(), std::make_pair(150, 20)) << row.name;
        if (row.kind == 3) { // let go of the button the row left down
            XTestFakeButtonEvent(m_display, 1, False, CurrentTime);
            XSync(m_display, False);
            // The window holds the pointer while the button is down, so the release comes to it.
            ASSERT_TRUE(target.waitFor([](const FakeTargetWindow& w) { return w.buttons().size() >= 2; }));
        }
    }
}

TEST_F(WindowInputTest, ClickInWindowZeroUsesScreenCoordinates) {
    FakeTargetWindow target(Options{.x = 100, .y = 100});
    moveCursor(5, 5);
    m_input->clickInWindow(0, 130, 140, 1);
    ASSERT_TRUE(target.waitFor([](const FakeTargetWindow& w) { return w.buttons().size() >= 2; }));
    EXPECT_EQ(target.buttons().front().x, 30);
    EXPECT_EQ(target.buttons().front().y, 40);
    EXPECT_EQ(cursor(), std::make_pair(5, 5));
}

TEST_F(WindowInputTest, ClickInAWindowThatIsGoneDoesNothing) {
    FakeTargetWindow below(Options{.x = 0, .y = 0, .width = 800, .height = 600});
    std::optional<FakeTargetWindow> gone(std::in_place, Options{.x = 100, .y = 100});
    const platform::WindowId goneId = gone->id();
    gone.reset();
    moveCursor(5, 5);
    m_input->clickInWindow(goneId, 10, 10, 1);
    XSync(m_display, False);
    EXPECT_TRUE(below.buttons().empty()) << "no click landed anywhere";
    EXPECT_EQ(cursor(), std::make_pair(5, 5));
}

TEST_F(WindowInputTest, ClickOnScreenLeavesTheCursorThere) {
    FakeTargetWindow target(Options{.x = 100, .y = 100});
    moveCursor(5, 5);
    m_input->clickOnScreen(300, 250);
    ASSERT_TRUE(target.waitFor([](const FakeTargetWindow& w) { return w.buttons().size() >= 2; }));
    const auto buttons = target.buttons();
    EXPECT_TRUE(buttons[0].press);
    EXPECT_FALSE(buttons[1].press);
    EXPECT_EQ(buttons[0].button, 1u);
    EXPECT_EQ(buttons[0].x, 200);
    EXPECT_EQ(buttons[0].y, 150);
    EXPECT_EQ(cursor(), std::make_pair(300, 250));
}

} // namespace
