#pragma once

#include <string>
#include <string_view>

namespace net {

/// Every outside host and fixed token the toolbox uses, in one place.
enum class Endpoint {
    // Marketplace product pages (links the user opens; never contacted by the program).
    DouyinProductHost,
    TaobaoItemHost,
    PinduoduoMobileHost,
    // Taobao and Tmall channel pages.
    TaobaoH5Host,
    TaobaoKuHost,
    TaobaoMarketPagesHost,
    TmallPagesHost,
    StaticAssetHost,
    // AI writing assistant: the completion service, its web front end and the two fixed tokens.
    AiServiceHost,
    AiWebFrontEndHost,
    AiAccessToken,
    AiRefreshToken,
    // Parcel tracking: interface 1 (tracking site), its network-time page, interface 2.
    TrackingSiteHost,
    NetworkTimeHost,
    TrackingApiHost,
};

/// The endpoint's value: its environment variable when set and not empty, else the built-in default.
std::string endpoint(Endpoint which);

/// The environment variable that overrides the endpoint, such as "VARROW_TAOBAO_ITEM_HOST".
std::string_view environmentVariable(Endpoint which);

} // namespace net
