#include "tools/links/share_link.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TrimCase {
    const char* name;
    std::string text;
    std::string link;
};

class TrimShareLinkTest : public testing::TestWithParam<TrimCase> {};

TEST_P(TrimShareLinkTest, GivesOneCleanLink) {
    EXPECT_EQ(links::trimShareLink(GetParam().text), GetParam().link);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TrimShareLinkTest,
    testing::Values(
        TrimCase{"PlainLink", "https://m.shop.test/goods.html?goods_id=88&page_from=1&share_uid=7",
                 "https://m.shop.test/goods.html?goods_id=88"},
        TrimCase{"WordsAround",
                 "【拼单】快来看看 https://m.shop.test/goods.html?goods_id=88&page_from=1&x=2 复制打开",
                 "https://m.shop.test/goods.html?goods_id=88"},
        TrimCase{"GluedToChinese", "快来看看https://m.shop.test/live.html?room=5&page_from=1",
                 "https://m.shop.test/live.html?room=5"},
        TrimCase{"GluedToACode", "$Ab12$https://m.shop.test/goods.html?goods_id=88&page_from=1",
                 "https://m.shop.test/goods.html?goods_id=88"},
        TrimCase{"InQuotes", "\"https://m.shop.test/goods.html?goods_id=88&page_from=1\"",
                 "https://m.shop.test/goods.html?goods_id=88"},
        TrimCase{"WithoutScheme", "看 m.shop.test/goods.html?goods_id=88&page_from=1",
                 "m.shop.test/goods.html?goods_id=88"},
        TrimCase{"FirstEndMarkerWins", "https://m.shop.test/a.html?x=1&page_from=1&y=2&page_from=1",
                 "https://m.shop.test/a.html?x=1"},
        TrimCase{"FirstLinkWithBothMarkersWins",
                 "https://m.shop.test/a?b=1&page_from=1 https://m.shop.test/c.html?d=2&page_from=1",
                 "https://m.shop.test/c.html?d=2"},
        TrimCase{"NoMarkers", "https://m.shop.test/goods?id=88", ""}, TrimCase{"EmptyText", "", ""},
        TrimCase{"OnlyThePageMarker", "https://m.shop.test/goods.html?goods_id=88", ""},
        TrimCase{"OnlyTheEndMarker", "https://m.shop.test/goods?id=88&page_from=1", ""},
        TrimCase{"UpperCaseIsNoMarker", "https://m.shop.test/goods.HTML?goods_id=88&page_from=1", ""},
        TrimCase{"UpperCaseEndIsNoMarker", "https://m.shop.test/goods.html?goods_id=88&PAGE_FROM=1", ""},
        TrimCase{"MarkersInTheWrongOrder", "&page_from=1 https://m.shop.test/goods.html?goods_id=88", ""},
        TrimCase{"NothingAfterThePageMarker", "https://m.shop.test/goods.html?&page_from=1", ""},
        TrimCase{"NothingBeforeThePageMarker", "html?goods_id=88&page_from=1", ""},
        TrimCase{"BlankBetweenTheMarkers", "https://m.shop.test/goods.html?goods_id=88 x&page_from=1", ""}),
    [](const testing::TestParamInfo<TrimCase>& info) { return std::string(info.param.name); });

} // namespace
