#include "message_recorder.h"
#include "tools/calculators/ui/calculators_panel.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class CalculatorsPanelTest : public testing::Test {
protected:
    CalculatorsPanelTest() {
        m_pageBox.setObjectName(QStringLiteral("分组框4"));
        m_pageBox.resize(1096, 598);
        new CalculatorsPanel(&m_pageBox);
        m_pageBox.show();
    }

    QLineEdit* box(const char* name) {
        auto* edit = m_pageBox.findChild<QLineEdit*>(QString::fromUtf8(name));
        EXPECT_NE(edit, nullptr) << name;
        return edit;
    }
    QString textOf(const char* name) { return box(name)->text(); }
    void type(const char* name, const char* text) { box(name)->setText(QString::fromUtf8(text)); }
    void click(const char* name) {
        auto* button = m_pageBox.findChild<QPushButton*>(QString::fromUtf8(name));
        ASSERT_NE(button, nullptr) << name;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QCheckBox* toggle(const char* name) {
        auto* check = m_pageBox.findChild<QCheckBox*>(QString::fromUtf8(name));
        EXPECT_NE(check, nullptr) << name;
        return check;
    }
    void expectWarning(const char* caption, const char* text) {
        ASSERT_EQ(m_messages.messages().size(), 1u) << "expected: " << text;
        EXPECT_EQ(m_messages.last().caption, QString::fromUtf8(caption));
        EXPECT_EQ(m_messages.last().text, QString::fromUtf8(text));
        EXPECT_EQ(m_messages.last().icon, ui::MessageIcon::Warning);
        m_messages.clear();
    }

    QGroupBox m_pageBox;
    MessageRecorder m_messages;
};

TEST_F(CalculatorsPanelTest, DesignedControls) {
    struct Group {
        const char* name;
        const char* title;
        QSize size;
    };
    for (const Group& g :
         {Group{"分组框5", "计算打了几折", {320, 186}}, Group{"分组框6", "计算原价多少钱", {320, 186}},
          Group{"分组框7", "我要打折", {320, 186}}, Group{"分组框8", "计算到手价是多少", {362, 580}}}) {
        auto* group = m_pageBox.findChild<QGroupBox*>(QString::fromUtf8(g.name));
        ASSERT_NE(group, nullptr) << g.name;
        EXPECT_EQ(group->title(), QString::fromUtf8(g.title));
        EXPECT_EQ(group->size(), g.size) << g.name;
        EXPECT_LE(group->mapTo(&m_pageBox, QPoint(group->width(), 0)).x(), 701)
            << "the AI assistant starts at 706";
    }
    auto top = [this](const char* name) {
        return m_pageBox.findChild<QGroupBox*>(QString::fromUtf8(name))->geometry();
    };
    EXPECT_LT(top("分组框7").bottom(), top("分组框5").top());
    EXPECT_LT(top("分组框5").bottom(), top("分组框6").top());
    EXPECT_LT(top("分组框7").right(), top("分组框8").left());
    EXPECT_EQ(m_pageBox.findChild<QGroupBox*>(QStringLiteral("分组框9"))->parent(),
              m_pageBox.findChild<QGroupBox*>(QStringLiteral("分组框8")));

    struct Default {
        const char* name;
        const char* text;
    };
    for (const Default& d :
         {Default{"编辑框28", "99"},  Default{"编辑框18", "5"},   Default{"编辑框27", "199"},
          Default{"编辑框19", "10"},  Default{"编辑框26", "299"}, Default{"编辑框20", "20"},
          Default{"编辑框25", "200"}, Default{"编辑框24", "20"},  Default{"编辑框32", "300"},
          Default{"编辑框33", "10"},  Default{"编辑框17", ""},    Default{"编辑框23", ""},
          Default{"编辑框6", ""},     Default{"编辑框7", ""},     Default{"编辑框8", ""},
          Default{"编辑框9", ""},     Default{"编辑框10", ""},    Default{"编辑框11", ""},
          Default{"编辑框12", ""},    Default{"编辑框13", ""},    Default{"编辑框14", ""},
          Default{"编辑框15", ""},    Default{"编辑框16", ""}})
        EXPECT_EQ(textOf(d.name), QString::fromUtf8(d.text)) << d.name;

    struct Switch {
        const char* name;
        const char* text;
        bool ticked;
    };
    for (const Switch& s : {Switch{"选择框4", "使用优惠券", true}, Switch{"选择框1", "上不封顶", true},
                            Switch{"选择框3", "平台满减", true}, Switch{"选择框2", "店铺满减", false}}) {
        EXPECT_EQ(toggle(s.name)->text(), QString::fromUtf8(s.text));
        EXPECT_EQ(toggle(s.name)->isChecked(), s.ticked) << s.name;
    }

    struct Button {
        const char* name;
        const char* text;
    };
    for (const Button& b :
         {Button{"按钮4", "计算折扣"}, Button{"按钮5", "清除归零"}, Button{"按钮8", "计算打折"},
          Button{"按钮9", "清除归零"}, Button{"按钮6", "计算原价"}, Button{"按钮7", "清除归零"},
          Button{"按钮12", "计算"}, Button{"按钮13", "归零"}})
        EXPECT_EQ(m_pageBox.findChild<QPushButton*>(QString::fromUtf8(b.name))->text(),
                  QString::fromUtf8(b.text));

    QStringList labels;
    for (const QLabel* label : m_pageBox.findChildren<QLabel*>())
        labels << label->text();
    for (const char* expected : {"原价：",
                                 "现价：",
                                 "折扣：",
                                 "优惠了：",
                                 "没有任何优惠前的价格",
                                 "优惠后的价格",
                                 "打折：",
                                 "折后价格：",
                                 "没有任何折扣前的价格",
                                 "你想要打几折就写几折",
                                 "优惠过后的价格",
                                 "优惠的折扣",
                                 "没有任何优惠时候的价格",
                                 "活动挂牌价格：",
                                 "元",
                                 "优惠券1金额：",
                                 "优惠券2金额：",
                                 "优惠券3金额：",
                                 "平台满减：",
                                 "店铺满减：",
                                 "到手价：",
                                 "满",
                                 "减"})
        EXPECT_TRUE(labels.contains(QString::fromUtf8(expected))) << expected;
}

// Every text must show whole: no control narrower than its text needs, none outside its group box,
// and no two controls of one group on top of each other.
TEST_F(CalculatorsPanelTest, NothingIsCutOffOrOverlaps) {
    const QList<QWidget*> controls = m_pageBox.findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (!qobject_cast<QLabel*>(control) && !qobject_cast<QAbstractButton*>(control) &&
            !qobject_cast<QLineEdit*>(control))
            continue;
        const QString name =
            control->objectName().isEmpty() ? control->property("text").toString() : control->objectName();
        if (!qobject_cast<QLineEdit*>(control)) {
            EXPECT_GE(control->width(), control->sizeHint().width()) << name.toStdString();
        }
        EXPECT_GE(control->height(), control->minimumSizeHint().height()) << name.toStdString();
        const QWidget* group = control->parentWidget();
        EXPECT_TRUE(group->rect().contains(control->geometry())) << name.toStdString();
        for (QWidget* other : controls) {
            if (other != control && other->parentWidget() == group && !qobject_cast<QGroupBox*>(other)) {
                EXPECT_FALSE(control->geometry().intersects(other->geometry()))
                    << name.toStdString() << " / " << other->objectName().toStdString();
            }
        }
    }
    for (const char* name : {"分组框5", "分组框6", "分组框7", "分组框8"}) {
        const QWidget* group = m_pageBox.findChild<QGroupBox*>(QString::fromUtf8(name));
        EXPECT_TRUE(QRect(0, 0, 701, 598).contains(group->geometry())) << name;
    }
}

TEST_F(CalculatorsPanelTest, DiscountRate) {
    type("编辑框9", "299");
    type("编辑框8", "199");
    click("按钮4");
    EXPECT_EQ(textOf("编辑框6"), QStringLiteral("6.66折"));
    EXPECT_EQ(textOf("编辑框7"), QStringLiteral("100元"));
    EXPECT_TRUE(m_messages.empty());

    type("编辑框9", "");
    click("按钮4");
    expectWarning("请输入数值", "原价数据不能为空！");
    type("编辑框9", "０");
    type("编辑框8", "");
    click("按钮4");
    expectWarning("请输入数值", "打折数据不能为空！");
    type("编辑框8", "80");
    click("按钮4");
    expectWarning("请输入数值", "原价不能为0，无法计算折扣！");
    EXPECT_EQ(textOf("编辑框6"), QStringLiteral("6.66折")) << "a refused input changes no box";

    click("按钮5");
    for (const char* name : {"编辑框6", "编辑框7", "编辑框8", "编辑框9"})
        EXPECT_EQ(textOf(name), QString()) << name;
}

TEST_F(CalculatorsPanelTest, DiscountedPrice) {
    type("编辑框13", "26.75");
    type("编辑框14", "1");
    click("按钮8");
    EXPECT_EQ(textOf("编辑框15"), QStringLiteral("2.68元"));
    EXPECT_EQ(textOf("编辑框16"), QStringLiteral("24.07元"));

    type("编辑框14", "");
    click("按钮8");
    expectWarning("请输入数值", "折扣数据不能为空！");
    type("编辑框13", "");
    click("按钮8");
    expectWarning("请输入数值", "原价数据不能为空！");
    type("编辑框13", "3e38");
    type("编辑框14", "100");
    click("按钮8");
    expectWarning("计算错误", "计算结果不是有效的数值，请检查输入的数值是否过大！");
    EXPECT_EQ(textOf("编辑框15"), QStringLiteral("2.68元"));

    click("按钮9");
    for (const char* name : {"编辑框13", "编辑框14", "编辑框15", "编辑框16"})
        EXPECT_EQ(textOf(name), QString()) << name;
}

TEST_F(CalculatorsPanelTest, FullPrice) {
    type("编辑框12", "88");
    type("编辑框11", "7");
    click("按钮6");
    EXPECT_EQ(textOf("编辑框10"), QStringLiteral("125.7元"));

    for (const char* emptied : {"编辑框12", "编辑框11"}) {
        type("编辑框12", "88");
        type("编辑框11", "7");
        type(emptied, "");
        click("按钮6");
        expectWarning("请输入数值", "计算数据不能为空！");
    }
    type("编辑框12", "88");
    type("编辑框11", "abc");
    click("按钮6");
    expectWarning("请输入数值", "折扣不能为0，无法计算原价！");
    EXPECT_EQ(textOf("编辑框10"), QStringLiteral("125.7元"));

    click("按钮7");
    for (const char* name : {"编辑框10", "编辑框11", "编辑框12"})
        EXPECT_EQ(textOf(name), QString()) << name;
}

TEST_F(CalculatorsPanelTest, FinalPriceFollowsTheSwitches) {
    click("按钮12");
    expectWarning("请输入数值", "活动价格数据不能为空！");

    type("编辑框17", "1000");
    struct Step {
        const char* toggled; // nullptr: defaults
        const char* expected;
    };
    // Each step flips one more switch: 850 = 1000 - 20 - 5×20 - 3×10 with the shop offer on.
    for (const Step& step : {Step{nullptr, "880元"}, Step{"选择框2", "850元"}, Step{"选择框1", "950元"},
                             Step{"选择框3", "970元"}, Step{"选择框4", "990元"}}) {
        if (step.toggled)
            toggle(step.toggled)->click();
        click("按钮12");
        EXPECT_EQ(textOf("编辑框23"), QString::fromUtf8(step.expected))
            << (step.toggled ? step.toggled : "defaults");
    }
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(CalculatorsPanelTest, FinalPriceReadsTheOfferBoxes) {
    type("编辑框17", "１９９");
    click("按钮12");
    EXPECT_EQ(textOf("编辑框23"), QStringLiteral("189元"));

    type("编辑框27", "150");
    type("编辑框19", "30.9");
    click("按钮12");
    EXPECT_EQ(textOf("编辑框23"), QStringLiteral("169元")) << "coupon 2 reads 满150减30";

    type("编辑框25", "0");
    click("按钮12");
    expectWarning("请输入数值", "勾选“上不封顶”时，平台满减的门槛金额不能为0！");
    EXPECT_EQ(textOf("编辑框23"), QStringLiteral("169元"));
    toggle("选择框2")->click();
    type("编辑框32", "abc");
    click("按钮12");
    expectWarning("请输入数值", "勾选“上不封顶”时，店铺满减的门槛金额不能为0！");

    click("按钮13");
    EXPECT_EQ(textOf("编辑框17"), QString());
    EXPECT_EQ(textOf("编辑框23"), QString());
    EXPECT_EQ(textOf("编辑框27"), QStringLiteral("150")) << "the offers stay as set";
    EXPECT_EQ(textOf("编辑框32"), QStringLiteral("abc"));
    EXPECT_TRUE(toggle("选择框2")->isChecked());
}

TEST_F(CalculatorsPanelTest, PressInListedPriceEmptiesItEveryTime) {
    m_pageBox.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_pageBox));
    QLineEdit* price = box("编辑框17");
    for (const char* typed : {"450", "99"}) {
        price->setText(QString::fromUtf8(typed));
        QTest::mouseClick(price, Qt::LeftButton, {}, QPoint(5, price->height() / 2));
        EXPECT_EQ(price->text(), QString()) << "after " << typed;
        EXPECT_TRUE(price->hasFocus());
        QTest::keyClicks(price, QStringLiteral("12"));
        EXPECT_EQ(price->text(), QStringLiteral("12"));
    }
    price->setText(QStringLiteral("77"));
    QTest::mouseClick(price, Qt::RightButton);
    EXPECT_EQ(price->text(), QStringLiteral("77")) << "only the left button empties it";
    QLineEdit* result = box("编辑框23");
    result->setText(QStringLiteral("5元"));
    QTest::mouseClick(result, Qt::LeftButton);
    EXPECT_EQ(result->text(), QStringLiteral("5元")) << "other boxes keep their text";
}

} // namespace
