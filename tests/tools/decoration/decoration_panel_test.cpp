// The tab's controls, its refusals and its behaviour without a desktop (offscreen, no X server).
#include "message_recorder.h"
#include "panel_test_support.h"
#include "tools/decoration/ui/decoration_panel.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class DecorationPanelTest : public testing::Test {
protected:
    DecorationPanelTest() {
        m_box.setObjectName(QStringLiteral("分组框11"));
        m_box.setGeometry(9, 31, 475, 310);
        m_panel = new DecorationPanel(&m_box);
    }

    template <class T> T* find(const char* name) {
        T* widget = m_box.findChild<T*>(QString::fromUtf8(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    void setSettings(const char* action, const char* generation, const char* pages) {
        find<QLineEdit>("编辑框21")->setText(QString::fromUtf8(action));
        find<QLineEdit>("编辑框22")->setText(QString::fromUtf8(generation));
        find<QLineEdit>("编辑框29")->setText(QString::fromUtf8(pages));
    }

    QGroupBox m_box;
    DecorationPanel* m_panel = nullptr;
    MessageRecorder m_messages;
};

TEST_F(DecorationPanelTest, ControlsWithTheirNamesTextsAndSizes) {
    const QString help = find<QLabel>("标签34")->text();
    EXPECT_TRUE(help.startsWith(QStringLiteral("操作步骤：\n")));
    for (const char* line :
         {"1、打开谷歌浏览器，登录批量投放的详情装修页面。", "2、点击“开始”按钮，程序会在后台开始运行。",
          "*、系统默认操作延时500毫秒，可以根据网络延迟、电脑配置调参数",
          "(动作延迟数值越低，操作越快，生成延迟建议根据生成速度调整)",
          "*、网络延迟或者电脑性能因素影响，如果操作出错，可以从新开始。"})
        EXPECT_TRUE(help.contains(QString::fromUtf8(line) + QLatin1Char('\n'))) << line;
    EXPECT_EQ(find<QLabel>("标签34")->size(), QSize(432, 157));
    EXPECT_EQ(find<QGroupBox>("分组框12")->size(), QSize(456, 140));

    struct Row {
        const char* edit;
        const char* initial;
        const char* label;
        const char* unit;
    };
    for (const Row& row :
         {Row{"编辑框21", "500", "动作延迟：", "毫秒"}, Row{"编辑框22", "22000", "生成延迟：", "毫秒"},
          Row{"编辑框29", "20", "商品页数：", "页"}}) {
        QLineEdit* edit = find<QLineEdit>(row.edit);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), QString::fromUtf8(row.initial));
        // The label sits to the left of its box and the unit to the right, on the same row.
        bool labelFound = false;
        bool unitFound = false;
        for (QLabel* label : edit->parentWidget()->findChildren<QLabel*>()) {
            if (label->geometry().center().y() != edit->geometry().center().y())
                continue;
            labelFound |= label->text() == QString::fromUtf8(row.label) && label->x() < edit->x();
            unitFound |= label->text() == QString::fromUtf8(row.unit) && label->x() > edit->x();
        }
        EXPECT_TRUE(labelFound) << row.edit;
        EXPECT_TRUE(unitFound) << row.edit;
    }
    EXPECT_EQ(find<QPushButton>("按钮10")->text(), QStringLiteral("开始（F7）"));
    EXPECT_EQ(find<QPushButton>("按钮11")->text(), QStringLiteral("结束（F8）"));
    EXPECT_EQ(find<QPushButton>("按钮10")->size(), QSize(120, 120));
    EXPECT_EQ(find<QPushButton>("按钮11")->size(), QSize(120, 120));
    EXPECT_NE(find<QLabel>("标签41"), nullptr) << "the status line";
    // Everything fits inside the 475 x 310 group.
    for (QWidget* child : m_box.findChildren<QWidget*>())
        EXPECT_TRUE(QRect(0, 0, 475, 310).contains(QRect(child->mapTo(&m_box, QPoint(0, 0)), child->size())))
            << child->objectName().toStdString();
}

TEST_F(DecorationPanelTest, SettingsThatAreNotPositiveWholeNumbersAreRefused) {
    ScopedRunDirectory runDirectory;
    struct Row {
        const char* action;
        const char* generation;
        const char* pages;
        const char* named;
    };
    const Row rows[] = {
        {"0", "22000", "20", "动作延迟"},
        {"abc", "22000", "20", "动作延迟"},
        {"500", "-1", "20", "生成延迟"},
        {"500", "2.5", "20", "生成延迟"},
        {"500", "22000", "", "商品页数"},
        {"500", "22000", "0", "商品页数"},
        {"500", "22000", "99999999999", "商品页数"},
    };
    for (const Row& row : rows) {
        m_messages.clear();
        setSettings(row.action, row.generation, row.pages);
        find<QPushButton>("按钮10")->click();
        ASSERT_EQ(m_messages.messages().size(), 1u) << row.named;
        EXPECT_TRUE(m_messages.last().text.contains(QString::fromUtf8(row.named))) << row.named;
        EXPECT_EQ(m_messages.last().icon, ui::MessageIcon::Warning);
        EXPECT_FALSE(m_panel->isRunning());
    }
    EXPECT_FALSE(std::filesystem::exists(runDirectory.path() / std::filesystem::path(u8"详情装修步骤.txt")))
        << "refused before anything else happens";
}

TEST_F(DecorationPanelTest, AFaultyStepFileIsNamedWithItsLine) {
    ScopedRunDirectory runDirectory;
    runDirectory.writeSteps("press Tab\nclick nowhere\n");
    find<QPushButton>("按钮10")->click();
    ASSERT_EQ(m_messages.messages().size(), 1u);
    EXPECT_TRUE(m_messages.last().text.contains(QStringLiteral("第 2 行")));
    EXPECT_TRUE(m_messages.last().text.contains(QStringLiteral("click nowhere")));
    EXPECT_EQ(m_messages.last().caption, QStringLiteral("步骤文件有误"));
    EXPECT_FALSE(m_panel->isRunning());
}

TEST_F(DecorationPanelTest, WithoutADesktopHotkeysAreQuietAndStartSaysWhy) {
    ScopedRunDirectory runDirectory;
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    m_panel->activateHotkeys();
    m_panel->activateHotkeys();
    m_panel->releaseHotkeys();
    EXPECT_TRUE(m_messages.empty()) << "no message until the user starts";

    find<QPushButton>("按钮10")->click();
    EXPECT_TRUE(waitUntil([&] { return !m_panel->isRunning(); }));
    if (!display.isEmpty())
        qputenv("DISPLAY", display);
    ASSERT_EQ(m_messages.messages().size(), 1u);
    EXPECT_EQ(m_messages.last().icon, ui::MessageIcon::Error);
    EXPECT_TRUE(m_messages.last().text.contains(QStringLiteral("无法连接到桌面")));
    EXPECT_TRUE(find<QPushButton>("按钮10")->isEnabled());
    EXPECT_TRUE(std::filesystem::exists(runDirectory.path() / std::filesystem::path(u8"详情装修步骤.txt")))
        << "the default steps are written out for the user to edit";
}

} // namespace
