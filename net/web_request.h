#pragma once

// One synchronous HTTP(S) exchange over libcurl, with default headers, header-name capitalisation and
// cookie merging. Certificates and host names are always verified. Run it on a worker thread.

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace net {

/// The cap on one whole exchange unless the request sets its own.
inline constexpr std::chrono::milliseconds kDefaultOverallTimeout{120'000};

/// Everything one request needs; every field but `url` has a usable default.
struct WebRequestOptions {
    std::string url{};
    /// 0 GET, 1 POST, 2 HEAD, 3 PUT, 4 OPTIONS, 5 DELETE, 6 TRACE, 7 CONNECT; anything else is GET.
    int method = 0;
    /// Text body (sent as its UTF-8 bytes) when `bodyBytes` is empty.
    std::string body{};
    /// Cookie text to send; absent sends no Cookie header. Any "Cookie:" inside is removed first.
    std::optional<std::string> cookies{};
    /// Extra request headers: "Name: value" lines joined by CR LF.
    std::string headers{};
    bool noRedirect = false;
    /// Binary body, sent instead of `body` when not empty.
    std::string bodyBytes{};
    /// Proxy address such as "http://host:port"; empty means none.
    std::string proxy{};
    /// Seconds for each phase (connect, send, receive); below 1 means 15, except -1: the client's own.
    int timeout = 0;
    std::string proxyUser{};
    std::string proxyPassword{};
    /// 1: credentials for the proxy, sent at once as Basic (their GBK bytes); 0: for the server when
    /// it asks; others: for the proxy when it asks. Used only with a proxy.
    int proxyCredentialsFlag = 1;
    /// Merge the answer's cookies into `cookies` (see WebAnswer::cookies).
    bool mergeCookies = true;
    /// Add the default Accept, Referer, Accept-Language, User-Agent (and Content-Type for POST).
    bool completeHeaders = true;
    /// Capitalise every part of each header name ("accept-encoding" -> "Accept-Encoding").
    bool normalizeHeaderCase = true;
    /// Certificate authorities to trust, as a PEM file; empty means the system's store.
    std::string caBundlePath{};
    /// A body longer than this (after decoding gzip or deflate) fails the request.
    std::size_t maxBodyBytes = std::size_t{64} << 20;
    /// Cap on the whole exchange, redirects included: a server trickling bytes keeps the per-phase
    /// time-outs from firing, this does not. Zero or less means the default.
    std::chrono::milliseconds overallTimeout = kDefaultOverallTimeout;
    /// Asked while the exchange runs (at least about once a second); true aborts it as a failed
    /// request. Pass a worker job's stop request here.
    std::function<bool()> stopRequested{};
};

/// What came back. `failed` means no usable answer (refused, time-out, bad certificate, cut off,
/// too large, ...); the body is then empty, while status and headers keep what had arrived.
struct WebAnswer {
    bool failed = false;
    std::string error{};
    int status = 0;
    /// The body bytes, unconverted (gzip and deflate already decoded).
    std::string body{};
    /// The final response's header lines (without the status line), joined by CR LF.
    std::string headers{};
    /// "name=value" items set by the response, joined by "; " (the merged text when cookies merge).
    std::string returnedCookies{};
    /// The caller's cookie text after the exchange (merged with the returned ones when asked);
    /// absent when the request had no cookies.
    std::optional<std::string> cookies{};
};

/// Performs one exchange and returns its answer; never throws.
WebAnswer WebRequest(const WebRequestOptions& options);

namespace detail {

/// Time-outs of one request: connecting (name, connection, TLS) and waiting for any progress after it.
struct PhaseTimeouts {
    std::chrono::milliseconds connect;
    std::chrono::milliseconds idle;
};

/// The time-outs for WebRequestOptions::timeout: seconds when 1 or more, -1 the client's own
/// (60 s to connect, 30 s idle), anything else 15 s.
PhaseTimeouts phaseTimeouts(int timeout);

/// The URL with blanks and non-ASCII bytes percent-encoded, as a browser sends it.
std::string escapeUrl(std::string_view url);

/// The header block with the default headers it lacks appended (the block is searched without case).
std::string CompleteHeaders(std::string_view headers, std::string_view url, int method);

/// Every header name capitalised at its start and after each "-"; lines without ":" are dropped.
std::string NormalizeHeaderCase(std::string_view headers);

/// `newCookies` plus the old items whose names it lacks, without "=deleted" items or duplicates.
std::string MergeCookies(std::string_view oldCookies, std::string_view newCookies);

/// The cookie's name: the text before "=", trimmed (the whole item trimmed without "=").
std::string CookieName(std::string_view item);

/// Each item only at its first occurrence.
std::string RemoveDuplicateItems(std::string_view text, std::string_view separator);

/// The "name=value" items of the Set-Cookie lines of a header block, joined by "; ".
std::string CookiesFromHeaders(std::string_view headers);

} // namespace detail

} // namespace net
