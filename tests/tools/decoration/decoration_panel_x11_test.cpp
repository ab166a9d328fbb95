// The tab driving a fake browser window under Xvfb: page by page, started and stopped by F7/F8.
#include "fake_target_window.h"
#include "message_recorder.h"
#include "panel_test_support.h"
#include "platform/hotkeys.h"
#include "tools/decoration/ui/decoration_panel.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// gtest first: the X headers define None and Bool as macros.
#include <gtest/gtest.h>

#include "platform/x11_display.h"
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

std::size_t countPresses(const FakeTargetWindow& window, unsigned int button) {
    std::size_t count = 0;
    for (const auto& event : window.buttons())
        count += event.press && event.button == button;
    return count;
}

std::size_t countKeyPresses(const FakeTargetWindow& window) {
    std::size_t count = 0;
    for (const auto& event : window.keys())
        count += event.press;
    return count;
}

class DecorationPanelX11Test : public testing::Test {
protected:
    DecorationPanelX11Test() {
        m_display = platform::x11::openDisplay();
        m_box.setObjectName(QStringLiteral("分组框11"));
        m_box.setGeometry(9, 31, 475, 310);
        m_panel = new DecorationPanel(&m_box);
    }
    ~DecorationPanelX11Test() override {
        if (m_display)
            XCloseDisplay(m_display);
    }
    void SetUp() override { ASSERT_NE(m_display, nullptr) << "run under xvfb-run"; }

    template <class T> T* find(const char* name) { return m_box.findChild<T*>(QString::fromUtf8(name)); }

    void setSettings(int actionDelay, int generationDelay, int pages) {
        find<QLineEdit>("编辑框21")->setText(QString::number(actionDelay));
        find<QLineEdit>("编辑框22")->setText(QString::number(generationDelay));
        find<QLineEdit>("编辑框29")->setText(QString::number(pages));
    }

    void typeKey(KeySym keysym) {
        const KeyCode key = XKeysymToKeycode(m_display, keysym);
        XTestFakeKeyEvent(m_display, key, True, CurrentTime);
        XTestFakeKeyEvent(m_display, key, False, CurrentTime);
        XSync(m_display, False);
    }

    QString status() { return find<QLabel>("标签41")->text(); }

    Display* m_display = nullptr;
    ScopedRunDirectory m_runDirectory;
    MessageRecorder m_messages;
    QGroupBox m_box;
    DecorationPanel* m_panel = nullptr;
};

TEST_F(DecorationPanelX11Test, ThreePagesPlayTheScriptThreeTimes) {
    FakeTargetWindow browser(FakeTargetWindow::Options{.x = 100, .y = 100});
    m_runDirectory.writeSteps("press A\nclick 10 20\ngenerate\nchar ok\n");
    setSettings(1, 1, 3);
    find<QPushButton>("按钮10")->click();
    EXPECT_TRUE(m_panel->isRunning());
    EXPECT_FALSE(find<QPushButton>("按钮10")->isEnabled()) << "one routine at a time";
    find<QPushButton>("按钮10")->click(); // ignored while running
    ASSERT_TRUE(waitUntil([&] { return !m_panel->isRunning(); }));
    EXPECT_EQ(status(), QStringLiteral("已完成 3 页"));
    EXPECT_TRUE(m_messages.empty());

    // Per page: A down and up, o and k typed (down and up each), one left click at (10, 20).
    ASSERT_TRUE(browser.waitFor([](const FakeTargetWindow& w) { return w.keys().size() >= 18; }));
    EXPECT_EQ(browser.keys().size(), 18u);
    EXPECT_EQ(countKeyPresses(browser), 9u);
    ASSERT_TRUE(browser.waitFor([](const FakeTargetWindow& w) { return countPresses(w, 1) >= 3; }));
    EXPECT_EQ(countPresses(browser, 1), 3u);
    for (const auto& event : browser.buttons()) {
        EXPECT_EQ(event.x, 10);
        EXPECT_EQ(event.y, 20);
    }
    const std::vector<unsigned int> onePage{XKeysymToKeycode(m_display, XK_a),
                                            XKeysymToKeycode(m_display, XK_o),
                                            XKeysymToKeycode(m_display, XK_k)};
    std::vector<unsigned int> pressed;
    for (const auto& event : browser.keys())
        if (event.press)
            pressed.push_back(event.keycode);
    std::vector<unsigned int> expected;
    for (int page = 0; page < 3; ++page)
        expected.insert(expected.end(), onePage.begin(), onePage.end());
    EXPECT_EQ(pressed, expected);
}

TEST_F(DecorationPanelX11Test, NoBrowserWindowIsAWarning) {
    FakeTargetWindow other(FakeTargetWindow::Options{.title = "淘宝网 - Google Chrome"});
    m_runDirectory.writeSteps("press A\n");
    find<QPushButton>("按钮10")->click();
    ASSERT_TRUE(waitUntil([&] { return !m_panel->isRunning(); }));
    ASSERT_EQ(m_messages.messages().size(), 1u);
    EXPECT_EQ(m_messages.last().icon, ui::MessageIcon::Warning);
    EXPECT_EQ(m_messages.last().caption, QStringLiteral("未找到浏览器窗口"));
    EXPECT_TRUE(other.keys().empty());
}

TEST_F(DecorationPanelX11Test, F7StartsAndF8StopsBetweenTwoActions) {
    FakeTargetWindow browser(FakeTargetWindow::Options{.x = 100, .y = 100});
    m_runDirectory.writeSteps("click 10 20\ngenerate\n");
    setSettings(1, 30, 200);
    m_panel->activateHotkeys();

    typeKey(XK_F7);
    ASSERT_TRUE(waitUntil([&] { return m_panel->isRunning(); })) << "F7 starts the routine";
    ASSERT_TRUE(waitUntil([&] { return countPresses(browser, 1) >= 2; }));
    EXPECT_TRUE(status().startsWith(QStringLiteral("正在处理第 "))) << status().toStdString();
    typeKey(XK_F8);
    ASSERT_TRUE(waitUntil([&] { return !m_panel->isRunning(); })) << "F8 stops it";
    EXPECT_TRUE(status().startsWith(QStringLiteral("已停止"))) << status().toStdString();
    const std::size_t clicks = countPresses(browser, 1);
    EXPECT_LT(clicks, 200u);
    QTest::qWait(80);
    EXPECT_EQ(countPresses(browser, 1), clicks) << "nothing more after the stop";
    m_panel->releaseHotkeys();
}

TEST_F(DecorationPanelX11Test, TheEndButtonStopsAndReleasesTheHotkeys) {
    FakeTargetWindow browser(FakeTargetWindow::Options{.x = 100, .y = 100});
    m_runDirectory.writeSteps("click 10 20\ngenerate\n");
    setSettings(1, 30, 200);
    EXPECT_TRUE(hotkeysFreeForOthers());
    m_panel->activateHotkeys();
    EXPECT_FALSE(hotkeysFreeForOthers()) << "held while the tab is current";
    m_panel->activateHotkeys(); // the tab may become current again: harmless
    EXPECT_FALSE(hotkeysFreeForOthers());

    find<QPushButton>("按钮10")->click();
    ASSERT_TRUE(waitUntil([&] { return countPresses(browser, 1) >= 1; }));
    find<QPushButton>("按钮11")->click();
    ASSERT_TRUE(waitUntil([&] { return !m_panel->isRunning(); }));
    EXPECT_TRUE(status().startsWith(QStringLiteral("已停止")));
    EXPECT_TRUE(hotkeysFreeForOthers()) << "按钮11 gives F7/F8 back";

    typeKey(XK_F7); // no longer ours: starts nothing
    QTest::qWait(50);
    EXPECT_FALSE(m_panel->isRunning());
}

TEST_F(DecorationPanelX11Test, KeysHeldByAnotherProgramAreShownNotFatal) {
    auto other = platform::openGlobalHotkeys();
    ASSERT_TRUE(other.has_value());
    ASSERT_TRUE((*other)->grab().has_value());
    m_panel->activateHotkeys();
    EXPECT_TRUE(status().contains(QStringLiteral("占用"))) << status().toStdString();
    EXPECT_TRUE(m_messages.empty());
    (*other)->release();
    m_panel->activateHotkeys();
    EXPECT_FALSE(hotkeysFreeForOthers()) << "taken once they are free";
    m_panel->releaseHotkeys();
}

} // namespace
