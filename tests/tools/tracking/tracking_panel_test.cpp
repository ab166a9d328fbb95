#include "tools/tracking/ui/tracking_panel.h"

#include "tracking_data.h"

#include "message_recorder.h"
#include "mock_http_server.h"
#include "tidy_layout.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using testsupport::MockHttpServer;
using testsupport::MockResponse;

// An address where nothing listens: a server's port right after it stopped.
std::string closedAddress() {
    MockHttpServer server;
    return server.baseUrl();
}

MockResponse gbkPage(const std::string& fixture) {
    MockResponse response;
    response.body = trackingFixture(fixture);
    response.contentType = "text/html; charset=gbk";
    return response;
}

class TrackingPanelTest : public testing::Test {
protected:
    void SetUp() override {
        site.on("/index-ajaxselectinfo-YT2200000000000.html", gbkPage("interface1_company.gbk"));
        site.on("/index-ajaxselectcourierinfo-YT2200000000000yuantong-KUAIDICODE1736000000.html",
                gbkPage("interface1_events.gbk"));
        site.on("/index-ajaxselectcourierinfo-YT2200000000000yuantong-KUAIDICODE.html",
                gbkPage("interface1_events.gbk"));
        site.on("/index-ajaxselectinfo-0000.html", gbkPage("interface1_unknown.gbk"));
        site.on("/index-ajaxselectcourierinfo-0000-KUAIDICODE1736000000.html",
                gbkPage("interface1_unknown.gbk"));
        time.on("/", gbkPage("time_page.html"));
        MockResponse interface2;
        interface2.body = trackingFixture("interface2_events.txt");
        api.on("/wqwlapi/kd100.php", interface2);

        setenv("VARROW_TRACKING_SITE_HOST", site.baseUrl().c_str(), 1);
        setenv("VARROW_NETWORK_TIME_HOST", time.baseUrl().c_str(), 1);
        setenv("VARROW_TRACKING_API_HOST", api.baseUrl().c_str(), 1);

        box = new QGroupBox;
        box->resize(544, 598);
        new TrackingPanel(box);
        box->show();
    }
    void TearDown() override { delete box; }

    template <class Widget> Widget* child(const char* name) const {
        Widget* widget = box->findChild<Widget*>(QString::fromUtf8(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QString result() const { return child<QPlainTextEdit>("编辑框2")->toPlainText(); }
    QString companyLine() const { return child<QLabel>("标签48")->text(); }
    void query() { child<QPushButton>("按钮1")->click(); }

    MockHttpServer site;
    MockHttpServer time;
    MockHttpServer api;
    MessageRecorder messages;
    QPointer<QGroupBox> box;
};

const QString kBanner = QString::fromStdString(std::string(tracking::kBanner));

TEST_F(TrackingPanelTest, OpensWithTheDesignedControls) {
    EXPECT_FALSE(child<QLineEdit>("编辑框1")->text().isEmpty());
    EXPECT_TRUE(companyLine().isEmpty());
    EXPECT_EQ(child<QPushButton>("按钮1")->text(), QStringLiteral("查询"));
    EXPECT_TRUE(child<QRadioButton>("单选框6")->isChecked());
    EXPECT_FALSE(child<QRadioButton>("单选框7")->isChecked());
    EXPECT_EQ(child<QLabel>("标签46")->text(), QStringLiteral("要查询的快递单号："));
    EXPECT_EQ(child<QLabel>("标签47")->text(),
              QStringLiteral("上面系统返回的快递公司简称，如果不准确，切换接口从新尝试。"));
    EXPECT_FALSE(child<QLineEdit>("编辑框34")->isVisible());
    EXPECT_TRUE(result().isEmpty());
}

TEST_F(TrackingPanelTest, ShowsEveryControlWholeAlsoWithTheLongestCompanyLine) {
    auto* panel = box->findChild<TrackingPanel*>();
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->geometry(), box->rect());
    expectTidyLayout(panel);
    child<QLabel>("标签48")->setText(QStringLiteral("系统返回：zhongtongkuaiyun"));
    QTest::qWait(0);
    expectTidyLayout(panel);
}

TEST_F(TrackingPanelTest, Interface1ShowsTheCompanyAndTheGbkEventsOfSeveralYears) {
    child<QLineEdit>("编辑框1")->setText(QStringLiteral("YT2200000000000"));
    query();
    EXPECT_EQ(companyLine(), QStringLiteral("查询中…"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !result().isEmpty(); }, 10000));

    EXPECT_EQ(result(), kBanner + QString::fromStdString(kInterface1Events));
    EXPECT_EQ(companyLine(), QStringLiteral("系统返回：yuantong"));
    EXPECT_TRUE(messages.empty());

    const auto requests = site.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].header("User-Agent").value_or(""),
              "Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
              "Chrome/50.0.2661.87 Safari/537.36");
    EXPECT_EQ(requests[1].method, "GET");
    EXPECT_EQ(requests[1].path,
              "/index-ajaxselectcourierinfo-YT2200000000000yuantong-KUAIDICODE1736000000.html");
    ASSERT_EQ(time.requests().size(), 1u);
    EXPECT_EQ(time.requests()[0].path, "/");
}

TEST_F(TrackingPanelTest, Interface1WithAnUnknownNumberSaysNoMatchAndKeepsTheOldResult) {
    child<QPlainTextEdit>("编辑框2")->setPlainText(QStringLiteral("上一次的结果"));
    child<QLineEdit>("编辑框1")->setText(QStringLiteral("0000"));
    query();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.empty(); }, 10000));

    EXPECT_EQ(messages.last().text, QStringLiteral("匹配失败，请检检查正则语句是否有误，数量：0"));
    EXPECT_EQ(messages.last().caption, QStringLiteral("信息："));
    EXPECT_EQ(messages.last().icon, ui::MessageIcon::Error);
    EXPECT_EQ(companyLine(), QStringLiteral("系统返回："));
    EXPECT_EQ(result(), QStringLiteral("上一次的结果"));
    ASSERT_EQ(site.requests().size(), 2u);
    EXPECT_EQ(site.requests()[1].path, "/index-ajaxselectcourierinfo-0000-KUAIDICODE1736000000.html");
}

TEST_F(TrackingPanelTest, Interface1WithoutTheTimePageStillFetchesTheEvents) {
    setenv("VARROW_NETWORK_TIME_HOST", closedAddress().c_str(), 1);
    child<QLineEdit>("编辑框1")->setText(QStringLiteral("YT2200000000000"));
    query();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !result().isEmpty(); }, 20000));

    EXPECT_EQ(result(), kBanner + QString::fromStdString(kInterface1Events));
    ASSERT_EQ(site.requests().size(), 2u);
    EXPECT_EQ(site.requests()[1].path,
              "/index-ajaxselectcourierinfo-YT2200000000000yuantong-KUAIDICODE.html");
}

TEST_F(TrackingPanelTest, Interface2ShowsEveryYearAndSaysItHasNoCompany) {
    child<QLineEdit>("编辑框1")->setText(QStringLiteral("YT2200000000000"));
    child<QRadioButton>("单选框7")->click();
    EXPECT_FALSE(child<QRadioButton>("单选框6")->isChecked());
    query();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !result().isEmpty(); }, 10000));

    EXPECT_EQ(result(), kBanner + QString::fromStdString(kInterface2Events));
    EXPECT_EQ(companyLine(), QStringLiteral("接口2不支持"));
    ASSERT_EQ(api.requests().size(), 1u);
    const auto request = api.requests()[0];
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.target, "/wqwlapi/kd100.php?dh=YT2200000000000&type=text");
    EXPECT_TRUE(site.requests().empty());
}

TEST_F(TrackingPanelTest, Interface2UnknownNumberSaysNoMatch) {
    MockResponse nothing;
    nothing.body = "查询无结果，请检查单号";
    api.on("/wqwlapi/kd100.php", nothing);
    child<QRadioButton>("单选框7")->click();
    query();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.empty(); }, 10000));
    EXPECT_EQ(messages.last().text, QStringLiteral("匹配失败，请检检查正则语句是否有误，数量：0"));
    EXPECT_EQ(companyLine(), QStringLiteral("接口2不支持"));
}

TEST_F(TrackingPanelTest, ASecondQueryShowsOnlyItsOwnEvents) {
    child<QLineEdit>("编辑框1")->setText(QStringLiteral("YT2200000000000"));
    query();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !result().isEmpty(); }, 10000));
    child<QRadioButton>("单选框7")->click();
    query();
    const QString second = kBanner + QString::fromStdString(kInterface2Events);
    ASSERT_TRUE(QTest::qWaitFor([&] { return result() == second; }, 10000)) << result().toStdString();
}

TEST_F(TrackingPanelTest, AnswerLargerThanOneMebibyteCountsAsEmpty) {
    MockResponse huge;
    huge.body = trackingFixture("interface2_events.txt");
    ASSERT_FALSE(huge.body.empty());
    huge.body += std::string((std::size_t{1} << 20) - huge.body.size() + 1, ' ');
    api.on("/wqwlapi/kd100.php", huge);
    child<QPlainTextEdit>("编辑框2")->setPlainText(QStringLiteral("上一次的结果"));
    child<QRadioButton>("单选框7")->click();
    query();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.empty(); }, 10000));
    EXPECT_EQ(messages.last().text, QStringLiteral("匹配失败，请检检查正则语句是否有误，数量：0"));
    EXPECT_EQ(result(), QStringLiteral("上一次的结果"));
}

TEST_F(TrackingPanelTest, LongAnswersAreShownUpToTheDisplayLimits) {
    // Under the size limit, but far more than a label or a text box should lay out at once.
    MockResponse company;
    company.body = "[{\"exname\":\"" + std::string(5000, 'z') + "\",\"ico\":\"z.png\"}]";
    site.on("/index-ajaxselectinfo-YT2200000000000.html", company);
    site.on("/index-ajaxselectcourierinfo-YT2200000000000" + std::string(5000, 'z') +
                "-KUAIDICODE1736000000.html",
            gbkPage("interface1_events.gbk"));
    MockResponse events;
    events.body = "-2025" + std::string(300000, 'x') + "时间：";
    api.on("/wqwlapi/kd100.php", events);

    child<QLineEdit>("编辑框1")->setText(QStringLiteral("YT2200000000000"));
    query();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !result().isEmpty(); }, 10000));
    EXPECT_EQ(companyLine(), (QStringLiteral("系统返回：") + QString(5000, QLatin1Char('z'))).left(100));

    child<QRadioButton>("单选框7")->click();
    query();
    const QString shown = (kBanner + QStringLiteral("2025") + QString(300000, QLatin1Char('x'))).left(100000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return result() == shown; }, 10000)) << result().size();
    EXPECT_TRUE(messages.empty());
}

TEST_F(TrackingPanelTest, AnOlderSlowerQueryDoesNotReplaceTheNewerOne) {
    MockResponse slow;
    slow.body = trackingFixture("interface2_events.txt");
    slow.delay = std::chrono::milliseconds(500);
    api.on("/wqwlapi/kd100.php", slow);
    child<QLineEdit>("编辑框1")->setText(QStringLiteral("YT2200000000000"));
    child<QRadioButton>("单选框7")->click();
    query();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !api.requests().empty(); }, 10000));

    child<QRadioButton>("单选框6")->click();
    query();
    const QString newer = kBanner + QString::fromStdString(kInterface1Events);
    ASSERT_TRUE(QTest::qWaitFor([&] { return result() == newer; }, 10000));
    QTest::qWait(800); // the older query's company line and events arrive meanwhile
    EXPECT_EQ(result(), newer);
    EXPECT_EQ(companyLine(), QStringLiteral("系统返回：yuantong"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(TrackingPanelTest, ANewerQueryAbandonsTheOlderOneAndItsLaterRequests) {
    MockResponse slowCompany = gbkPage("interface1_company.gbk");
    slowCompany.delay = std::chrono::milliseconds(1000);
    site.on("/index-ajaxselectinfo-YT2200000000000.html", slowCompany);
    child<QLineEdit>("编辑框1")->setText(QStringLiteral("YT2200000000000"));
    query();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !site.requests().empty(); }, 10000));

    child<QRadioButton>("单选框7")->click();
    query();
    const QString newer = kBanner + QString::fromStdString(kInterface2Events);
    ASSERT_TRUE(QTest::qWaitFor([&] { return result() == newer; }, 10000));
    QTest::qWait(1500); // the older query's company answer has come (or been given up) meanwhile
    EXPECT_EQ(site.requests().size(), 1u) << "the older query asked for its events";
    EXPECT_TRUE(time.requests().empty()) << "the older query asked for the time";
    EXPECT_EQ(result(), newer);
    EXPECT_TRUE(messages.empty());
}

TEST_F(TrackingPanelTest, ClosingDuringAQueryDropsTheLateAnswer) {
    MockResponse slow;
    slow.body = trackingFixture("interface2_events.txt");
    slow.delay = std::chrono::milliseconds(400);
    api.on("/wqwlapi/kd100.php", slow);
    child<QRadioButton>("单选框7")->click();
    query();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !api.requests().empty(); }, 10000));
    delete box;
    QTest::qWait(700); // the answer arrives and its job ends while nothing is there to show it
    EXPECT_TRUE(messages.empty());
}

} // namespace
