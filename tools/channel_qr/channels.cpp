#include "tools/channel_qr/channels.h"

#include "net/endpoints.h"

namespace channel_qr {
namespace {

// Fixed configuration values of the channel pages: they identify the entry pages, not the user.
constexpr std::string_view kGuessYouLikeKey = "tovel.mirsak.19960318472641";
constexpr std::string_view kGoodFindsKey = "tovel.mirsak.19960318475936";
constexpr std::string_view kCoinsFromToken = "Tq7wZrPe4KdYv2HsUa9GmXo3LcBfN";

std::string join(std::initializer_list<std::string_view> pieces) {
    std::string text;
    for (const std::string_view piece : pieces)
        text += piece;
    return text;
}

// White space a pasted ID may carry: ASCII, and the ideographic and no-break spaces of Chinese input.
constexpr std::string_view kSpaces[] = {" ", "\t", "\r", "\n", "\v", "\f", "\u3000", "\u00a0"};

std::size_t leadingSpace(std::string_view text) {
    for (const std::string_view space : kSpaces)
        if (text.starts_with(space))
            return space.size();
    return 0;
}

std::size_t trailingSpace(std::string_view text) {
    for (const std::string_view space : kSpaces)
        if (text.ends_with(space))
            return space.size();
    return 0;
}

} // namespace

ChannelLinks channelLinks(std::string_view id) {
    using net::Endpoint;
    const std::string h5 = "https://" + net::endpoint(Endpoint::TaobaoH5Host);
    const std::string ku = "http://" + net::endpoint(Endpoint::TaobaoKuHost);
    const std::string market = "https://" + net::endpoint(Endpoint::TaobaoMarketPagesHost);
    const std::string plainMarket = "http://" + net::endpoint(Endpoint::TaobaoMarketPagesHost);
    const std::string tmall = "https://" + net::endpoint(Endpoint::TmallPagesHost);
    const std::string assets = "https://" + net::endpoint(Endpoint::StaticAssetHost);

    const std::array<std::string, kChannelCount> links{
        join({h5, "/awp/core/detail.htm?locate=guessitem-item&spm=a2141.1.guessitem.guessitem-152&key=",
              kGuessYouLikeKey, "&scm=1007.12286.76309.110&id=", id}),
        join({ku, "/bus?itemid=", id}),
        join({market,
              "/app/tbsearchwireless-pages/knowledge4detail/p/knowledge_detail?wh_weex=true"
              "&wx_navbar_transparent=true&id=3237671005010&_template=daily&promotion=false&scene_id="
              "&launch_id=544&item_ids=",
              id, "&rm"}),
        join({market, "/markets/qbb/index/phone?itemId=", id}),
        join({market,
              "/app/find-like/find-like/pages/index?wh_weex=true&wx_navbar_transparent=true"
              "&source=tbfootprint&appid=2016&nid=",
              id, "&data_prefetch=true&spm=a1z41.zuji3.1.0"}),
        join({tmall, "/wow/a/act/tmall/dailygroup/796/wupr?wh_pid=daily-216002&deliveryld=6022&fromToken=",
              kCoinsFromToken,
              "&implld=other_0_0_6022_0&sceneld=367&hd_from_id=100005&spm=a217e.xzrwy.1.1&item_id=", id}),
        // The template address is passed as it is, not percent-encoded; the page reads it that way.
        join({market, "/app/asr-pages/muise-cloudtheme-recommend?_mus_tpl=", assets,
              "/asr-pages/muise-cloudtheme-recommend/0.0.17/muise-cloudtheme-recommend.mus.wlm"
              "&biz=GWBK&p2seasoning=muise&spmA=icloud&spmB=gwmuise&id=1876134005001&item_id=,",
              id, "&scm=1007.10088.223771.0&spm=a2141.1.guessitemtab_1.114"}),
        join({market,
              "/app/detail-project/minidetail/pages/index?wx_navbar_hidden=true&wh_weex=true&useTpp=true"
              "&scm=1007.10088.194999.0&spm=a2141.1.guessitemtab_1.5&itemId=",
              id}),
        join({h5, "/awp/core/detail.htm?key=", kGoodFindsKey, "&id=", id,
              "&scm=2003.19.1.0&spm=a2141.7631543.1.1"
              "&track_params=%7B%22jpFeedId%22%3A%221005782866892%22%7D"}),
        join({plainMarket, "/app/mtb/questions-and-answers/pages/list/index.html?refId=", id}),
    };

    ChannelLinks result;
    for (std::size_t i = 0; i < kChannelCount; ++i)
        result[i] = ChannelLink{kChannels[i].caption, kChannels[i].level, links[i]};
    return result;
}

std::string productIdFrom(std::string_view text) {
    while (const std::size_t length = leadingSpace(text))
        text.remove_prefix(length);
    while (const std::size_t length = trailingSpace(text))
        text.remove_suffix(length);
    return std::string(text);
}

} // namespace channel_qr
