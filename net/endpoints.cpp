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
    // A host value may also be a base URL with scheme and port, such as "http://127.0.0.1:8080".
    EndpointInfo{Endpoint::AiServiceHost, "VARROW_AI_SERVICE_HOST", "ai-api.varrow.cn"},
    EndpointInfo{Endpoint::AiWebFrontEndHost, "VARROW_AI_WEB_HOST", "ai.varrow.cn"},
    // Placeholder tokens; a real deployment sets its own through the environment.
    EndpointInfo{Endpoint::AiAccessToken, "VARROW_AI_ACCESS_TOKEN",
                 "eyJhbGciOiJIUzI1NiIsInR5cCI6IkpXVCJ9.eyJzdWIiOiJ2YXJyb3ctdG9vbGJveCIsInR5cCI6ImFjY2VzcyJ9."
                 "dmFycm93LXRvb2xib3gtYWNjZXNz"},
    EndpointInfo{
        Endpoint::AiRefreshToken, "VARROW_AI_REFRESH_TOKEN",
        "eyJhbGciOiJIUzI1NiIsInR5cCI6IkpXVCJ9.eyJzdWIiOiJ2YXJyb3ctdG9vbGJveCIsInR5cCI6InJlZnJlc2gifQ."
        "dmFycm93LXRvb2xib3gtcmVmcmVzaA"},
    EndpointInfo{Endpoint::TrackingSiteHost, "VARROW_TRACKING_SITE_HOST", "www.kuaidi.varrow.cn"},
    EndpointInfo{Endpoint::NetworkTimeHost, "VARROW_NETWORK_TIME_HOST", "time.varrow.cn"},
    EndpointInfo{Endpoint::TrackingApiHost, "VARROW_TRACKING_API_HOST", "wl.varrow.cn"},
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
