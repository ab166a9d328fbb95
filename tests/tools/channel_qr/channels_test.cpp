#include "tools/channel_qr/channels.h"

#include "net/endpoints.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using channel_qr::channelLinks;
using channel_qr::kChannelCount;
using channel_qr::productIdFrom;

namespace {

// The links use the built-in hosts unless the environment overrides them; these tests want the built-in ones.
class ChannelLinksTest : public testing::Test {
protected:
    void SetUp() override {
        for (const net::Endpoint host :
             {net::Endpoint::TaobaoH5Host, net::Endpoint::TaobaoKuHost, net::Endpoint::TaobaoMarketPagesHost,
              net::Endpoint::TmallPagesHost, net::Endpoint::StaticAssetHost})
            ::unsetenv(std::string(net::environmentVariable(host)).c_str());
    }
};

struct ExpectedChannel {
    std::string_view caption;
    std::string_view level;
    std::string_view link;
};

// The ten links of product 1001, written out in full.
constexpr ExpectedChannel kProduct1001[kChannelCount] = {
    {"猜你喜欢", "l",
     "https://h5.m.taobao.com/awp/core/detail.htm?locate=guessitem-item&spm=a2141.1.guessitem.guessitem-152"
     "&key=tovel.mirsak.19960318472641&scm=1007.12286.76309.110&id=1001"},
    {"淘宝精选", "l", "http://uland.taobao.com/bus?itemid=1001"},
    {"精选好货", "l",
     "https://market.m.taobao.com/app/tbsearchwireless-pages/knowledge4detail/p/knowledge_detail?wh_weex=true"
     "&wx_navbar_transparent=true&id=3237671005010&_template=daily&promotion=false&scene_id=&launch_id=544"
     "&item_ids=1001&rm"},
    {"亲宝贝", "l", "https://market.m.taobao.com/markets/qbb/index/phone?itemId=1001"},
    {"手淘找相似", "l",
     "https://market.m.taobao.com/app/find-like/find-like/pages/index?wh_weex=true&wx_navbar_transparent=true"
     "&source=tbfootprint&appid=2016&nid=1001&data_prefetch=true&spm=a1z41.zuji3.1.0"},
    {"淘金币", "l",
     "https://pages.tmall.com/wow/a/act/tmall/dailygroup/796/wupr?wh_pid=daily-216002&deliveryld=6022"
     "&fromToken=Tq7wZrPe4KdYv2HsUa9GmXo3LcBfN&implld=other_0_0_6022_0&sceneld=367&hd_from_id=100005"
     "&spm=a217e.xzrwy.1.1&item_id=1001"},
    {"淘内免费其他", "l",
     "https://market.m.taobao.com/app/asr-pages/muise-cloudtheme-recommend?_mus_tpl=https://g.alicdn.com"
     "/asr-pages/muise-cloudtheme-recommend/0.0.17/muise-cloudtheme-recommend.mus.wlm&biz=GWBK"
     "&p2seasoning=muise&spmA=icloud&spmB=gwmuise&id=1876134005001&item_id=,1001"
     "&scm=1007.10088.223771.0&spm=a2141.1.guessitemtab_1.114"},
    {"微详情", "l",
     "https://market.m.taobao.com/app/detail-project/minidetail/pages/"
     "index?wx_navbar_hidden=true&wh_weex=true"
     "&useTpp=true&scm=1007.10088.194999.0&spm=a2141.1.guessitemtab_1.5&itemId=1001"},
    {"有好货", "l",
     "https://h5.m.taobao.com/awp/core/detail.htm?key=tovel.mirsak.19960318475936&id=1001&scm=2003.19.1.0"
     "&spm=a2141.7631543.1.1&track_params=%7B%22jpFeedId%22%3A%221005782866892%22%7D"},
    {"问大家", "m",
     "http://market.m.taobao.com/app/mtb/questions-and-answers/pages/list/index.html?refId=1001"},
};

} // namespace

TEST_F(ChannelLinksTest, TenLinksOfProduct1001InBoxOrder) {
    const channel_qr::ChannelLinks links = channelLinks("1001");
    for (std::size_t i = 0; i < kChannelCount; ++i) {
        SCOPED_TRACE(kProduct1001[i].caption);
        EXPECT_EQ(links[i].caption, kProduct1001[i].caption);
        EXPECT_EQ(links[i].level, kProduct1001[i].level);
        EXPECT_EQ(links[i].link, kProduct1001[i].link);
    }
}

TEST_F(ChannelLinksTest, IdGoesInVerbatimAtEveryPlace) {
    // Whatever the caller passes (it trims first) lands unchanged, once per link.
    const std::string id = "A b&c";
    const channel_qr::ChannelLinks links = channelLinks(id);
    const channel_qr::ChannelLinks reference = channelLinks("1001");
    for (std::size_t i = 0; i < kChannelCount; ++i) {
        SCOPED_TRACE(links[i].caption);
        std::string expected = reference[i].link;
        const std::size_t at = expected.find("1001");
        ASSERT_NE(at, std::string::npos);
        expected.replace(at, 4, id);
        EXPECT_EQ(links[i].link, expected);
    }
}

TEST_F(ChannelLinksTest, HostsComeFromTheEndpointTable) {
    ::setenv("VARROW_TAOBAO_MARKET_PAGES_HOST", "127.0.0.1:8080", 1);
    ::setenv("VARROW_STATIC_ASSET_HOST", "assets.test", 1);
    const channel_qr::ChannelLinks links = channelLinks("7");
    ::unsetenv("VARROW_TAOBAO_MARKET_PAGES_HOST");
    ::unsetenv("VARROW_STATIC_ASSET_HOST");
    EXPECT_EQ(links[3].link, "https://127.0.0.1:8080/markets/qbb/index/phone?itemId=7");
    EXPECT_EQ(links[9].link,
              "http://127.0.0.1:8080/app/mtb/questions-and-answers/pages/list/index.html?refId=7");
    EXPECT_NE(links[6].link.find("_mus_tpl=https://assets.test/asr-pages/"), std::string::npos);
    EXPECT_EQ(links[1].link, "http://uland.taobao.com/bus?itemid=7");
}

TEST(ProductIdTest, SurroundingWhiteSpaceIsTrimmed) {
    struct Case {
        const char* name;
        std::string_view text;
        std::string_view id;
    };
    const Case cases[] = {
        {"plain", "1001", "1001"},
        {"ascii spaces and tabs", " \t1001 \r\n", "1001"},
        {"ideographic spaces", "\u30001001\u3000\u3000", "1001"},
        {"no-break space", "\u00a01001", "1001"},
        {"inner space kept", " 10 01 ", "10 01"},
        {"only spaces", " \u3000\t", ""},
        {"empty", "", ""},
        {"placeholder kept", "在这输入商品ID", "在这输入商品ID"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(productIdFrom(c.text), c.id) << c.name;
}
