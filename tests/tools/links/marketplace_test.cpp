#include "tools/links/link_rows.h"
#include "tools/links/marketplace.h"

#include "net/endpoints.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

// Hosts come from the one place that holds them, including its environment override.
class HostOverride {
public:
    HostOverride(net::Endpoint endpoint, const char* value) : m_variable(net::environmentVariable(endpoint)) {
        ::setenv(m_variable.c_str(), value, 1);
    }
    ~HostOverride() { ::unsetenv(m_variable.c_str()); }

private:
    std::string m_variable;
};

struct TemplateCase {
    const char* name;
    links::Marketplace marketplace;
    net::Endpoint host;
    std::string id;
    std::string link;
};

class LinkTemplateTest : public testing::TestWithParam<TemplateCase> {};

TEST_P(LinkTemplateTest, BuildsTheMarketplaceLink) {
    const TemplateCase& c = GetParam();
    const HostOverride host(c.host, "shop.example.test");
    const auto link = links::linkTemplateFor(c.marketplace);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->linkFor(c.id), c.link);
    std::string appended = "x";
    link->appendLink(appended, c.id);
    EXPECT_EQ(appended, "x" + c.link);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LinkTemplateTest,
    testing::Values(
        TemplateCase{"Douyin", links::Marketplace::Douyin, net::Endpoint::DouyinProductHost, "3581",
                     "https://shop.example.test/views/product/detail?id=3581&origin_type=604"},
        TemplateCase{"DouyinEmptyId", links::Marketplace::Douyin, net::Endpoint::DouyinProductHost, "",
                     "https://shop.example.test/views/product/detail?id=&origin_type=604"},
        TemplateCase{"Taobao", links::Marketplace::Taobao, net::Endpoint::TaobaoItemHost, "1001",
                     "https://shop.example.test/item.htm?id=1001"},
        TemplateCase{"TaobaoIdVerbatim", links::Marketplace::Taobao, net::Endpoint::TaobaoItemHost, " a b ",
                     "https://shop.example.test/item.htm?id= a b "},
        TemplateCase{"Pinduoduo", links::Marketplace::Pinduoduo, net::Endpoint::PinduoduoMobileHost,
                     "1234567890123456789",
                     "https://shop.example.test/goods.html?goods_id=1234567890123456789"}),
    [](const testing::TestParamInfo<TemplateCase>& info) { return std::string(info.param.name); });

TEST(LinkTemplateTest, JdAnd1688HaveNoLinks) {
    EXPECT_FALSE(links::linkTemplateFor(links::Marketplace::Jd));
    EXPECT_FALSE(links::linkTemplateFor(links::Marketplace::Alibaba1688));
}

std::shared_ptr<const links::IdText> textOf(std::initializer_list<const char*> ids) {
    auto text = std::make_shared<links::IdText>();
    for (const char* id : ids)
        text->addLine(id);
    return text;
}

TEST(IdRowsTest, BlocksJoinInOrderAndCopiesStayAsTheyWere) {
    const auto first = textOf({"a", "b", "c", "d"});
    const auto second = textOf({"x", "y"});
    links::IdRows rows;
    rows.append({first, 0, 2});
    rows.append({first, 2, 2}); // continues the block before
    const links::IdRows snapshot = rows;
    rows.append({second, 1, 1});
    rows.append({second, 0, 0}); // nothing
    ASSERT_EQ(rows.size(), 5u);
    const char* expected[]{"a", "b", "c", "d", "y"};
    for (std::size_t row = 0; row < rows.size(); ++row)
        EXPECT_EQ(rows.id(row), expected[row]) << row;
    EXPECT_EQ(snapshot.size(), 4u);
    EXPECT_EQ(snapshot.id(3), "d");

    links::LinkRows list{rows, links::LinkTemplate{"p-", "-s"}};
    EXPECT_EQ(list.linkAt(4), "p-y-s");
}

} // namespace
