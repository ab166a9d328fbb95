#include "tools/links/ui/share_link_panel.h"

#include "net/endpoints.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ShareLinkPanelTest : public testing::Test {
protected:
    ShareLinkPanelTest() {
        m_window.resize(555, 657);
        m_box = new QGroupBox(&m_window);
        m_box->setObjectName(QStringLiteral("分组框3"));
        m_box->setGeometry(8, 4, 545, 598);
        m_panel = new ShareLinkPanel(m_box, &m_window);
        m_window.show();
    }

    template <class Widget> Widget* find(const char* name) const {
        return m_panel->findChild<Widget*>(QString::fromUtf8(name));
    }

    QWidget m_window;
    QGroupBox* m_box = nullptr;
    ShareLinkPanel* m_panel = nullptr;
};

TEST_F(ShareLinkPanelTest, ControlsFitTheirBoxAndTheirTexts) {
    struct Expected {
        const char* name;
        QSize size;
    };
    for (const Expected& expected : {Expected{"编辑框3", {399, 32}}, Expected{"按钮2", {48, 32}},
                                     Expected{"编辑框4", {400, 32}}, Expected{"按钮3", {48, 32}}}) {
        const QWidget* widget = find<QWidget>(expected.name);
        ASSERT_NE(widget, nullptr) << expected.name;
        EXPECT_EQ(widget->size(), expected.size) << expected.name;
        EXPECT_TRUE(m_box->rect().contains(widget->geometry())) << expected.name;
    }
    const auto* big = find<QPlainTextEdit>("编辑框5");
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(big->width(), 528);
    EXPECT_TRUE(m_box->rect().contains(big->geometry()));
    for (const char* name : {"按钮2", "按钮3"}) {
        const auto* button = find<QPushButton>(name);
        EXPECT_LE(button->fontMetrics().horizontalAdvance(button->text()) + 8, button->width()) << name;
    }
    EXPECT_EQ(find<QPushButton>("按钮2")->text(), QString::fromUtf8("解析"));
    EXPECT_EQ(find<QPushButton>("按钮3")->text(), QString::fromUtf8("播放"));
    EXPECT_TRUE(find<QLineEdit>("编辑框4")->text().isEmpty());
}

TEST_F(ShareLinkPanelTest, TrimTurnsTheSampleIntoAnOpenableLink) {
    const QString host = QString::fromStdString(net::endpoint(net::Endpoint::PinduoduoMobileHost));
    EXPECT_TRUE(find<QLineEdit>("编辑框3")->text().contains(host));
    QTest::mouseClick(find<QPushButton>("按钮2"), Qt::LeftButton);
    EXPECT_EQ(find<QLineEdit>("编辑框4")->text(),
              QStringLiteral("https://%1/goods.html?goods_id=238541782354").arg(host));
}

TEST_F(ShareLinkPanelTest, TextWithoutTheMarkersEmptiesTheResult) {
    find<QLineEdit>("编辑框4")->setText(QStringLiteral("earlier"));
    find<QLineEdit>("编辑框3")->setText(QString::fromUtf8("没有链接的文字"));
    QTest::mouseClick(find<QPushButton>("按钮2"), Qt::LeftButton);
    EXPECT_TRUE(find<QLineEdit>("编辑框4")->text().isEmpty());
}

TEST_F(ShareLinkPanelTest, PlayWidensTheWindowAndKeepsItsHeight) {
    QTest::mouseClick(find<QPushButton>("按钮3"), Qt::LeftButton);
    EXPECT_EQ(m_window.size(), QSize(1113, 657));
}

} // namespace
