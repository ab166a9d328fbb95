// Runs under Xvfb: F7 and F8 grabbed on the real server, a second connection playing "another program".
#include "platform/hotkeys.h"

// gtest first: the X headers define None and Bool as macros.
#include <gtest/gtest.h>

#include "platform/x11_display.h"
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <poll.h>
#include <vector>

namespace {

using platform::Hotkey;

std::unique_ptr<platform::GlobalHotkeys> openHotkeys() {
    auto opened = platform::openGlobalHotkeys();
    EXPECT_TRUE(opened.has_value()) << (opened ? "" : opened.error().detail);
    return opened ? std::move(*opened) : nullptr;
}

class HotkeysTest : public testing::Test {
protected:
    void SetUp() override {
        m_display = platform::x11::openDisplay();
        ASSERT_NE(m_display, nullptr) << "run under xvfb-run";
        m_hotkeys = openHotkeys();
        ASSERT_NE(m_hotkeys, nullptr);
        m_hotkeys->setPressHandler([this](Hotkey key) { m_pressed.push_back(key); });
    }
    void TearDown() override {
        if (m_display)
            XCloseDisplay(m_display);
    }

    void typeKey(KeySym keysym, unsigned int withModifier = 0) {
        if (withModifier)
            XTestFakeKeyEvent(m_display, withModifier, True, CurrentTime);
        const KeyCode key = XKeysymToKeycode(m_display, keysym);
        XTestFakeKeyEvent(m_display, key, True, CurrentTime);
        XTestFakeKeyEvent(m_display, key, False, CurrentTime);
        if (withModifier)
            XTestFakeKeyEvent(m_display, withModifier, False, CurrentTime);
        XSync(m_display, False);
    }

    // Reads the hotkey connection until `count` presses arrived or `patience` passed.
    void collect(std::size_t count, std::chrono::milliseconds patience = std::chrono::seconds(2)) {
        const auto deadline = std::chrono::steady_clock::now() + patience;
        pollfd descriptor{m_hotkeys->eventDescriptor(), POLLIN, 0};
        while (m_pressed.size() < count && std::chrono::steady_clock::now() < deadline) {
            m_hotkeys->processPendingEvents();
            poll(&descriptor, 1, 10);
        }
        m_hotkeys->processPendingEvents();
    }

    Display* m_display = nullptr;
    std::unique_ptr<platform::GlobalHotkeys> m_hotkeys;
    std::vector<Hotkey> m_pressed;
};

TEST_F(HotkeysTest, HeldKeysAreTakenFromOtherProgramsAndGivenBack) {
    auto other = openHotkeys();
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(m_hotkeys->grab().has_value());
    EXPECT_TRUE(m_hotkeys->held());

    auto refused = other->grab();
    ASSERT_FALSE(refused.has_value()) << "a second program cannot take F7/F8 while we hold them";
    EXPECT_EQ(refused.error().kind, platform::DesktopError::Kind::KeyTaken);
    EXPECT_FALSE(other->held());

    EXPECT_TRUE(m_hotkeys->grab().has_value()) << "grabbing again while held is harmless";
    m_hotkeys->release();
    EXPECT_FALSE(m_hotkeys->held());
    ASSERT_TRUE(other->grab().has_value()) << "free again after release";

    // Now we are the other program: the refusal leaves nothing half-held.
    auto ours = m_hotkeys->grab();
    ASSERT_FALSE(ours.has_value());
    EXPECT_EQ(ours.error().kind, platform::DesktopError::Kind::KeyTaken);
    other->release();
    EXPECT_TRUE(m_hotkeys->grab().has_value());
    m_hotkeys->release();
    m_hotkeys->release(); // releasing twice is harmless
}

TEST_F(HotkeysTest, PressesOfHeldKeysAreReported) {
    ASSERT_TRUE(m_hotkeys->grab().has_value());
    typeKey(XK_F7);
    typeKey(XK_F8);
    typeKey(XK_F9); // not ours
    // With Num Lock on the keys still count: it is a state, not a modifier.
    typeKey(XK_Num_Lock);
    typeKey(XK_F8);
    typeKey(XK_Num_Lock);
    collect(3);
    EXPECT_EQ(m_pressed, (std::vector<Hotkey>{Hotkey::F7, Hotkey::F8, Hotkey::F8}));

    m_pressed.clear();
    m_hotkeys->release();
    typeKey(XK_F7);
    collect(1, std::chrono::milliseconds(100));
    EXPECT_TRUE(m_pressed.empty()) << "released keys are not reported";
}

} // namespace
