#include "tools/tracking/tracking.h"

#include "tracking_data.h"

#include "net/text.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <vector>

namespace {

using tracking::ExtractError;
using tracking::Interface;

TEST(TrackingRequests, BuildTheInterfacePaths) {
    EXPECT_EQ(tracking::companyRequest("kd.example.test", "YT123").url,
              "http://kd.example.test/index-ajaxselectinfo-YT123.html");
    EXPECT_EQ(tracking::companyRequest("kd.example.test", "YT123").method, 1);
    EXPECT_EQ(tracking::eventsRequest("http://127.0.0.1:81/", "YT123", "yuantong", "1736").url,
              "http://127.0.0.1:81/index-ajaxselectcourierinfo-YT123yuantong-KUAIDICODE1736.html");
    EXPECT_EQ(tracking::eventsRequest("kd.example.test", "YT123", "", "").url,
              "http://kd.example.test/index-ajaxselectcourierinfo-YT123-KUAIDICODE.html");
    EXPECT_EQ(tracking::eventsRequest("kd.example.test", "1", "", "").method, 0);
    EXPECT_EQ(tracking::interface2Request("https://wl.example.test", "YT123").url,
              "https://wl.example.test/wqwlapi/kd100.php?dh=YT123&type=text");
    EXPECT_EQ(tracking::timeRequest("time.example.test").url, "http://time.example.test/");
}

TEST(TrackingRequests, KeepAPastedNumberInsideItsPlaceInTheUrl) {
    // A blank, "&", "/" or "#" in the number must not end the path or add query parameters.
    EXPECT_EQ(tracking::interface2Request("wl.example.test", " YT1&type=json#").url,
              "http://wl.example.test/wqwlapi/kd100.php?dh=%20YT1%26type%3Djson%23&type=text");
    EXPECT_EQ(tracking::companyRequest("kd.example.test", "../单").url,
              "http://kd.example.test/index-ajaxselectinfo-..%2F%E5%8D%95.html");
}

TEST(TrackingMarkers, FindTheCompanyCodeAndTheTimeValue) {
    EXPECT_EQ(tracking::companyCode(R"([{"exname":"zhongtong","ico":"z.png"}])"), "zhongtong");
    EXPECT_EQ(tracking::companyCode(R"({"exname":"zhongtong"})"), "");
    EXPECT_EQ(tracking::companyCode(""), "");
    EXPECT_EQ(tracking::timeValue(R"(<script>var t0= "1736000000";</script>)"), "1736000000");
    EXPECT_EQ(tracking::timeValue("<html>busy</html>"), "");
}

TEST(TrackingCompanyLine, NamesTheCodeOrTheMissingSupport) {
    EXPECT_EQ(tracking::companyLine(Interface::First, "yuantong"), "系统返回：yuantong");
    EXPECT_EQ(tracking::companyLine(Interface::First, ""), "系统返回：");
    EXPECT_EQ(tracking::companyLine(Interface::Second, "yuantong"), "接口2不支持");
}

struct ExtractCase {
    const char* name;
    Interface which;
    std::string answer;
    std::string events; // empty: no match expected
};

void PrintTo(const ExtractCase& c, std::ostream* os) {
    *os << c.name;
}

class ExtractEvents : public testing::TestWithParam<ExtractCase> {};

TEST_P(ExtractEvents, GathersEveryEvent) {
    const ExtractCase& c = GetParam();
    const auto events = tracking::extractEvents(c.which, c.answer);
    if (c.events.empty()) {
        ASSERT_FALSE(events.has_value());
        EXPECT_EQ(events.error(), ExtractError::NoMatch);
    } else {
        ASSERT_TRUE(events.has_value());
        EXPECT_EQ(*events, c.events);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ExtractEvents,
    testing::Values(
        ExtractCase{
            "Interface1JoinsTimeAndText", Interface::First,
            R"([{"time":"2024-05-01 08:00","context":"已揽收"},{"time":"2024-05-02 09:00","context":"派送中"}])",
            "2024-05-01 08:00已揽收\n\n2024-05-02 09:00派送中\n\n"},
        ExtractCase{"Interface1CaseInsensitive", Interface::First, R"({"TIME":"t1","context":"c"})",
                    "t1c\n\n"},
        ExtractCase{"Interface1NoEvents", Interface::First, R"({"status":"201","data":[]})", ""},
        ExtractCase{"Interface1Empty", Interface::First, "", ""},
        // Later years are found as well as 2023.
        ExtractCase{"Interface2LaterYearsOnly", Interface::Second,
                    "-2024-12-31 08:00 事件：到达\n时间：\n-2025-01-02 09:00 事件：签收\n时间：",
                    "2024-12-31 08:00    到达\n\n\n2025-01-02 09:00    签收\n\n\n"},
        ExtractCase{"Interface2Year2023", Interface::Second, "-2023-06-01 事件：揽收 时间：",
                    "2023-06-01    揽收 \n\n"},
        ExtractCase{"Interface2EventSpansLines", Interface::Second, "-2030-01-01\n事件：\n签收\n时间：",
                    "2030-01-01\n   \n签收\n\n\n"},
        ExtractCase{"Interface2NoYear", Interface::Second, "查询无结果 时间：", ""},
        ExtractCase{"Interface2ShortNumberIsNoYear", Interface::Second, "-202 事件：x 时间：", ""},
        ExtractCase{"Interface2Empty", Interface::Second, "", ""}),
    [](const testing::TestParamInfo<ExtractCase>& info) { return std::string(info.param.name); });

// Stands in for the network: answers by URL and records what was asked.
struct FakeNetwork {
    std::map<std::string, std::string> bodies; // URL -> body; others fail
    std::vector<net::WebRequestOptions> asked;

    tracking::Fetch fetch() {
        return [this](const net::WebRequestOptions& options) {
            asked.push_back(options);
            net::WebAnswer answer;
            if (const auto found = bodies.find(options.url); found != bodies.end()) {
                answer.status = 200;
                answer.body = found->second;
            } else {
                answer.failed = true;
            }
            return answer;
        };
    }
};

const tracking::Hosts kHosts{"kd.test", "time.test", "wl.test"};

TEST(TrackingQuery, Interface1AsksCompanyTimeAndEventsAndDecodesTheGbkAnswer) {
    FakeNetwork network;
    network.bodies["http://kd.test/index-ajaxselectinfo-YT2200000000000.html"] =
        trackingFixture("interface1_company.gbk");
    network.bodies["http://time.test/"] = trackingFixture("time_page.html");
    network.bodies
        ["http://kd.test/index-ajaxselectcourierinfo-YT2200000000000yuantong-KUAIDICODE1736000000.html"] =
        trackingFixture("interface1_events.gbk");
    std::vector<std::string> announced;

    const tracking::QueryResult outcome =
        tracking::runQuery(Interface::First, "YT2200000000000", kHosts, network.fetch(),
                           [&](const std::string& line) { announced.push_back(line); });

    ASSERT_EQ(network.asked.size(), 3u);
    EXPECT_EQ(network.asked[0].method, 1);
    EXPECT_NE(network.asked[0].headers.find("Chrome/50.0.2661.87"), std::string::npos);
    EXPECT_EQ(network.asked[2].method, 0);
    EXPECT_EQ(announced, std::vector<std::string>{"系统返回：yuantong"});
    EXPECT_EQ(outcome.companyLine, "系统返回：yuantong");
    ASSERT_TRUE(outcome.result.has_value());
    EXPECT_EQ(*outcome.result, std::string(tracking::kBanner) + kInterface1Events);
}

TEST(TrackingQuery, Interface1WithoutTimePageSendsTheEventsRequestWithoutTime) {
    FakeNetwork network;
    network.bodies["http://kd.test/index-ajaxselectinfo-X1.html"] = trackingFixture("interface1_company.gbk");
    network.bodies["http://kd.test/index-ajaxselectcourierinfo-X1yuantong-KUAIDICODE.html"] =
        trackingFixture("interface1_events.gbk");

    const tracking::QueryResult outcome = tracking::runQuery(Interface::First, "X1", kHosts, network.fetch());
    ASSERT_TRUE(outcome.result.has_value());
    EXPECT_EQ(*outcome.result, std::string(tracking::kBanner) + kInterface1Events);
}

TEST(TrackingQuery, Interface1UnknownNumberEndsWithNoMatch) {
    FakeNetwork network;
    network.bodies["http://kd.test/index-ajaxselectinfo-0000.html"] =
        trackingFixture("interface1_unknown.gbk");
    network.bodies["http://time.test/"] = trackingFixture("time_page.html");
    network.bodies["http://kd.test/index-ajaxselectcourierinfo-0000-KUAIDICODE1736000000.html"] =
        trackingFixture("interface1_unknown.gbk");

    const tracking::QueryResult outcome =
        tracking::runQuery(Interface::First, "0000", kHosts, network.fetch());
    EXPECT_EQ(outcome.companyLine, "系统返回：");
    ASSERT_EQ(network.asked.size(), 3u);
    EXPECT_EQ(network.asked[2].url,
              "http://kd.test/index-ajaxselectcourierinfo-0000-KUAIDICODE1736000000.html");
    ASSERT_FALSE(outcome.result.has_value());
    EXPECT_EQ(outcome.result.error(), ExtractError::NoMatch);
}

TEST(TrackingQuery, Interface2ShowsEventsOfEveryYear) {
    FakeNetwork network;
    network.bodies["http://wl.test/wqwlapi/kd100.php?dh=YT2200000000000&type=text"] =
        trackingFixture("interface2_events.txt");

    const tracking::QueryResult outcome =
        tracking::runQuery(Interface::Second, "YT2200000000000", kHosts, network.fetch());
    ASSERT_EQ(network.asked.size(), 1u);
    EXPECT_EQ(network.asked[0].method, 0);
    EXPECT_EQ(outcome.companyLine, "接口2不支持");
    ASSERT_TRUE(outcome.result.has_value());
    EXPECT_EQ(*outcome.result, std::string(tracking::kBanner) + kInterface2Events);
}

TEST(TrackingQuery, FailedRequestsEndWithNoMatch) {
    FakeNetwork network;
    for (const Interface which : {Interface::First, Interface::Second}) {
        const tracking::QueryResult outcome = tracking::runQuery(which, "1", kHosts, network.fetch());
        ASSERT_FALSE(outcome.result.has_value());
        EXPECT_EQ(outcome.result.error(), ExtractError::NoMatch);
    }
}

TEST(TrackingQuery, Interface2SurvivesBytesThatAreNotUtf8) {
    FakeNetwork network;
    network.bodies["http://wl.test/wqwlapi/kd100.php?dh=1&type=text"] = "-2024-01-01 \xff\xfe 事件：x 时间：";
    const tracking::QueryResult outcome = tracking::runQuery(Interface::Second, "1", kHosts, network.fetch());
    ASSERT_TRUE(outcome.result.has_value());
    EXPECT_NE(outcome.result->find("2024-01-01 \uFFFD\uFFFD    x"), std::string::npos);
}

} // namespace
