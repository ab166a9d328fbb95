#include "tools/links/marketplace.h"

#include "net/endpoints.h"

namespace links {

std::string LinkTemplate::linkFor(std::string_view id) const {
    std::string link;
    appendLink(link, id);
    return link;
}

void LinkTemplate::appendLink(std::string& out, std::string_view id) const {
    out.reserve(out.size() + prefix.size() + id.size() + suffix.size());
    out += prefix;
    out += id;
    out += suffix;
}

std::optional<LinkTemplate> linkTemplateFor(Marketplace marketplace) {
    const auto https = [](net::Endpoint host, std::string_view pathAndQuery, std::string_view suffix) {
        return LinkTemplate{"https://" + net::endpoint(host) + std::string(pathAndQuery),
                            std::string(suffix)};
    };
    switch (marketplace) {
    case Marketplace::Douyin:
        return https(net::Endpoint::DouyinProductHost, "/views/product/detail?id=", "&origin_type=604");
    case Marketplace::Taobao:
        return https(net::Endpoint::TaobaoItemHost, "/item.htm?id=", "");
    case Marketplace::Pinduoduo:
        return https(net::Endpoint::PinduoduoMobileHost, "/goods.html?goods_id=", "");
    case Marketplace::Jd:
    case Marketplace::Alibaba1688:
        break;
    }
    return std::nullopt;
}

} // namespace links
