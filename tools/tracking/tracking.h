#pragma once

#include "net/web_request.h"

#include <cstddef>
#include <expected>
#include <functional>
#include <string>
#include <string_view>

namespace tracking {

/// The two public tracking interfaces the user chooses between.
enum class Interface { First, Second };

/// Put in front of every result (UTF-8, "\n" line ends for the Qt text box).
inline constexpr std::string_view kBanner = "★★★★★★★★免费接口查询不准的话可能是太频繁★★★★★★★★\n\n"
                                            "★★★★★★下面是查询到的物流信息★★★★★★\n\n";

/// The largest answer taken from a tracking service: real answers are a few kilobytes, and a longer one
/// fails its request (it then counts as an empty answer) instead of reaching the result box.
inline constexpr std::size_t kMaxAnswerBytes = std::size_t{1} << 20;

/// Why no events could be shown.
enum class ExtractError {
    PatternFailed, ///< the pattern could not be built or run
    NoMatch,       ///< the answer holds no event
};

/// Where the three outside services are: a host, or a base URL with scheme and port.
struct Hosts {
    std::string site; ///< interface 1 (company and events pages)
    std::string time; ///< the network-time page interface 1 asks for its time value
    std::string api;  ///< interface 2
};

/// A base URL for `hostOrUrl`: a value with a scheme is taken as it is (minus a trailing slash),
/// a bare host is reached over plain HTTP.
std::string baseUrl(std::string_view hostOrUrl);

/// `text` with every byte outside the unreserved URL characters percent-encoded, so that a number
/// (or a value taken from an answer) never changes the path or the query it is put into.
std::string urlPiece(std::string_view text);

// Interface 1.
net::WebRequestOptions companyRequest(std::string_view siteHost, std::string_view number);
/// The company's short code in the company answer (UTF-8); "" when the markers are missing.
std::string companyCode(std::string_view answer);
net::WebRequestOptions timeRequest(std::string_view timeHost);
/// The time value of the network-time page; "" when the markers are missing.
std::string timeValue(std::string_view page);
net::WebRequestOptions eventsRequest(std::string_view siteHost, std::string_view number,
                                     std::string_view code, std::string_view time);

// Interface 2.
net::WebRequestOptions interface2Request(std::string_view apiHost, std::string_view number);

/// The events of an answer (UTF-8, escapes already decoded), each followed by an empty line.
std::expected<std::string, ExtractError> extractEvents(Interface which, std::string_view answer);

/// The company line: "系统返回：" and the code for interface 1, "接口2不支持" for interface 2.
std::string companyLine(Interface which, std::string_view code);

/// The HTTP exchange, replaceable in tests.
using Fetch = std::function<net::WebAnswer(const net::WebRequestOptions&)>;

/// What a query shows: the company line, and the result text (banner and events) or why there is none.
struct QueryResult {
    std::string companyLine;
    std::expected<std::string, ExtractError> result;
};

/// Runs one query through `which` (blocking; run it on a worker). `onCompanyLine` hears the company
/// line as soon as it is known, before the events are fetched.
QueryResult runQuery(Interface which, std::string_view number, const Hosts& hosts, const Fetch& fetch,
                     const std::function<void(const std::string&)>& onCompanyLine = {});

} // namespace tracking
