#include "net/endpoints.h"

#include <array>
#include <cstdlib>

namespace net {
namespace {

struct EndpointInfo {
    Endpoint which;
    std::string_view variable;
    std::string_view defaultValue;
};

constexpr std::array kEndpoints{
    EndpointInfo{Endpoint::DouyinProductHost, "VARROW_DOUYIN_PRODUCT_HOST", "haohuo.jinritemai.com"},
    EndpointInfo{Endpoint::TaobaoItemHost, "VARROW_TAOBAO_ITEM_HOST", "item.taobao.com"},
    EndpointInfo{Endpoint::PinduoduoMobileHost, "VARROW_PINDUODUO_MOBILE_HOST", "mobile.yangkeduo.com"},
    EndpointInfo{Endpoint::TaobaoH5Host, "VARROW_TAOBAO_H5_HOST", "h5.m.taobao.com"},
    EndpointInfo{Endpoint::TaobaoKuHost, "VARROW_TAOBAO_KU_HOST", "uland.taobao.com"},
    EndpointInfo{Endpoint::TaobaoMarketPagesHost, "VARROW_TAOBAO_MARKET_PAGES_HOST", "market.m.taobao.com"},
    EndpointInfo{Endpoint::TmallPagesHost, "VARROW_TMALL_PAGES_HOST", "pages.tmall.com"},
    EndpointInfo{Endpoint::StaticAssetHost, "VARROW_STATIC_ASSET_HOST", "g.alicdn.com"},
};

const EndpointInfo& infoFor(Endpoint which) {
    for (const EndpointInfo& info : kEndpoints)
        if (info.which == which)
            return info;
    std::abort(); // every enumerator has a row
}

} // namespace

std::string endpoint(Endpoint which) {
    const EndpointInfo& info = infoFor(which);
    const std::string variable(info.variable);
    if (const char* value = std::getenv(variable.c_str()); value && *value)
        return value;
    return std::string(info.defaultValue);
}

std::string_view environmentVariable(Endpoint which) {
    return infoFor(which).variable;
}

} // namespace net
