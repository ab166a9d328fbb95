#include "tools/tracking/tracking.h"

#include "net/regex_matcher.h"
#include "net/text.h"

namespace tracking {

namespace {

// Interface 1's browser identity, sent with both of its requests.
constexpr std::string_view kSiteHeaders =
    "User-Agent: Mozilla/5.0 (Windows NT 6.1; WOW64) AppleWebKit/537.36 "
    "(KHTML, like Gecko) Chrome/50.0.2661.87 Safari/537.36";

// Markers and patterns of the two answer formats.
constexpr std::string_view kCompanyStart = "exname\":\"";
constexpr std::string_view kCompanyEnd = "\",\"ico";
constexpr std::string_view kTimeStart = "var t0= \"";
constexpr std::string_view kTimeEnd = "\";";
constexpr std::string_view kEventPattern1 = "time\":\"(.*?)\"}";
constexpr std::string_view kEventJoint1 = "\",\"context\":\"";
// Any four-digit year starts an event; the year is kept in front of the rest of the event.
constexpr std::string_view kEventPattern2 = "-(\\d{4})([\\s\\S]*?)时间：";
constexpr std::string_view kEventLabel2 = "事件：";

void replaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (std::size_t pos = text.find(from); pos != std::string::npos; pos = text.find(from, pos + to.size()))
        text.replace(pos, from.size(), to);
}

} // namespace

std::string baseUrl(std::string_view hostOrUrl) {
    std::string url;
    if (hostOrUrl.find("://") == std::string_view::npos)
        url = "http://";
    url += hostOrUrl;
    while (!url.empty() && url.back() == '/')
        url.pop_back();
    return url;
}

std::string urlPiece(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        const bool unreserved = (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9') ||
                                u == '-' || u == '.' || u == '_' || u == '~';
        if (unreserved) {
            out += c;
        } else {
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 0xF];
        }
    }
    return out;
}

net::WebRequestOptions companyRequest(std::string_view siteHost, std::string_view number) {
    net::WebRequestOptions options;
    options.url = baseUrl(siteHost) + "/index-ajaxselectinfo-" + urlPiece(number) + ".html";
    options.method = 1;
    options.headers = kSiteHeaders;
    options.maxBodyBytes = kMaxAnswerBytes;
    return options;
}

std::string companyCode(std::string_view answer) {
    return net::TextBetween(answer, kCompanyStart, kCompanyEnd);
}

net::WebRequestOptions timeRequest(std::string_view timeHost) {
    net::WebRequestOptions options;
    options.url = baseUrl(timeHost) + "/";
    options.maxBodyBytes = kMaxAnswerBytes;
    return options;
}

std::string timeValue(std::string_view page) {
    return net::TextBetween(page, kTimeStart, kTimeEnd);
}

net::WebRequestOptions eventsRequest(std::string_view siteHost, std::string_view number,
                                     std::string_view code, std::string_view time) {
    net::WebRequestOptions options;
    options.url = baseUrl(siteHost) + "/index-ajaxselectcourierinfo-" + urlPiece(number) + urlPiece(code) +
                  "-KUAIDICODE" + urlPiece(time) + ".html";
    options.headers = kSiteHeaders;
    options.maxBodyBytes = kMaxAnswerBytes;
    return options;
}

net::WebRequestOptions interface2Request(std::string_view apiHost, std::string_view number) {
    net::WebRequestOptions options;
    options.url = baseUrl(apiHost) + "/wqwlapi/kd100.php?dh=" + urlPiece(number) + "&type=text";
    options.maxBodyBytes = kMaxAnswerBytes;
    return options;
}

std::expected<std::string, ExtractError> extractEvents(Interface which, std::string_view answer) {
    net::RegexMatcher matcher;
    const std::string_view pattern = which == Interface::First ? kEventPattern1 : kEventPattern2;
    if (!matcher.Create(pattern, answer, false, true, true))
        return std::unexpected(ExtractError::PatternFailed);
    if (matcher.Count() == 0)
        return std::unexpected(ExtractError::NoMatch);

    std::string events;
    if (matcher.SubMatchCount() > 0) {
        for (int i = 1; i <= matcher.Count(); ++i) {
            if (which == Interface::First)
                events += matcher.SubMatch(i, 1);
            else
                events += matcher.SubMatch(i, 1) + matcher.SubMatch(i, 2);
            events += "\n\n";
        }
    }
    if (which == Interface::First)
        replaceAll(events, kEventJoint1, "");
    else
        replaceAll(events, kEventLabel2, "   ");
    return events;
}

std::string companyLine(Interface which, std::string_view code) {
    if (which == Interface::Second)
        return "接口2不支持";
    return "系统返回：" + std::string(code);
}

QueryResult runQuery(Interface which, std::string_view number, const Hosts& hosts, const Fetch& fetch,
                     const std::function<void(const std::string&)>& onCompanyLine) {
    QueryResult outcome;
    const auto announce = [&](std::string line) {
        outcome.companyLine = std::move(line);
        if (onCompanyLine)
            onCompanyLine(outcome.companyLine);
    };

    std::string answer;
    if (which == Interface::First) {
        // The tracking site answers in GBK; the time page is plain ASCII, read the same way.
        const std::string code =
            companyCode(net::ConvertCharset(fetch(companyRequest(hosts.site, number)).body, "GBK", "UTF-8"));
        announce(companyLine(which, code));
        const std::string time =
            timeValue(net::ConvertCharset(fetch(timeRequest(hosts.time)).body, "GBK", "UTF-8"));
        answer = net::UnescapeText(
            net::ConvertCharset(fetch(eventsRequest(hosts.site, number, code, time)).body, "GBK", "UTF-8"));
    } else {
        // Passing UTF-8 through the converter turns stray bytes into U+FFFD before the search.
        answer = net::ConvertCharset(fetch(interface2Request(hosts.api, number)).body, "UTF-8", "UTF-8");
        announce(companyLine(which, {}));
    }

    auto events = extractEvents(which, answer);
    if (!events)
        outcome.result = std::unexpected(events.error());
    else
        outcome.result = std::string(kBanner) + *events;
    return outcome;
}

} // namespace tracking
