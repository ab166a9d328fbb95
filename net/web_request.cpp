#include "net/web_request.h"

#include "net/text.h"
#include "net/text_internal.h"

#include <curl/curl.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace net {

namespace detail {

std::string CompleteHeaders(std::string_view headers, std::string_view url, int method) {
    std::string block(headers);
    const auto addIfMissing = [&block](std::string_view lookedFor, std::string_view line) {
        if (!containsIgnoringCase(block, lookedFor)) {
            block.append("\r\n");
            block.append(line);
        }
    };
    addIfMissing("Accept:", "Accept: */*");
    addIfMissing("Referer:", "Referer: " + std::string(url));
    addIfMissing("Accept-Language:", "Accept-Language: zh-cn");
    addIfMissing("User-Agent:", "User-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)");
    if (method == 1)
        addIfMissing("Content-Type:", "Content-Type: application/x-www-form-urlencoded");
    return block;
}

std::string NormalizeHeaderCase(std::string_view headers) {
    std::string result;
    for (const std::string& line : SplitText(headers, "\r\n")) {
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string name = line.substr(0, colon);
        for (std::size_t i = 0; i < name.size(); ++i)
            if ((i == 0 || name[i - 1] == '-') && name[i] >= 'a' && name[i] <= 'z')
                name[i] = static_cast<char>(name[i] - 'a' + 'A');
        if (!result.empty())
            result.append("\r\n");
        result.append(name);
        result.append(line, colon);
    }
    return result;
}

std::string CookieName(std::string_view item) {
    const std::size_t equals = item.find('=');
    return std::string(trimBlanks(equals == std::string_view::npos ? item : item.substr(0, equals)));
}

std::string RemoveDuplicateItems(std::string_view text, std::string_view separator) {
    std::vector<std::string> kept;
    for (std::string& item : SplitText(text, separator))
        if (std::find(kept.begin(), kept.end(), item) == kept.end())
            kept.push_back(std::move(item));
    std::string result;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i)
            result.append(separator);
        result.append(kept[i]);
    }
    return result;
}

std::string MergeCookies(std::string_view oldCookies, std::string_view newCookies) {
    const auto prepare = [](std::string_view text) {
        std::string trimmed(trimBlanks(text));
        if (trimmed.ends_with(';'))
            trimmed.push_back(' ');
        return trimmed;
    };
    const std::vector<std::string> oldItems = SplitText(prepare(oldCookies), "; ");
    std::vector<std::string> items = SplitText(prepare(newCookies), "; ");
    const std::size_t newCount = items.size();
    for (const std::string& oldItem : oldItems) {
        const std::string name = CookieName(oldItem);
        bool replaced = false;
        for (std::size_t i = 0; i < newCount && !replaced; ++i)
            replaced = CookieName(items[i]) == name;
        if (!replaced)
            items.push_back(oldItem);
    }
    std::string merged;
    for (const std::string& item : items) {
        if (item.ends_with("=deleted"))
            continue;
        if (!merged.empty())
            merged.append("; ");
        merged.append(item);
    }
    return RemoveDuplicateItems(merged, "; ");
}

std::string CookiesFromHeaders(std::string_view headers) {
    std::string cookies;
    for (const std::string& line : SplitText(headers, "\r\n")) {
        // Names are compared without case: HTTP does, and some servers send "set-cookie".
        if (asciiLower(TextBefore(line, ": ")) != "set-cookie")
            continue;
        std::string item;
        if (line.find(';') == std::string::npos)
            item = trimBlanks(replaceAll(line, "Set-Cookie:", "", true));
        else
            item = trimBlanks(TextBetween(line, "Set-Cookie:", ";"));
        cookies.append(item);
        cookies.append("; ");
    }
    if (cookies.ends_with("; "))
        cookies.resize(cookies.size() - 2);
    return cookies;
}

PhaseTimeouts phaseTimeouts(int timeout) {
    using std::chrono::milliseconds;
    using std::chrono::seconds;
    if (timeout == -1)
        return {milliseconds(60'000), milliseconds(30'000)};
    const milliseconds phase = seconds(timeout >= 1 ? timeout : 15);
    return {phase, phase};
}

std::string escapeUrl(std::string_view url) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(url.size());
    for (const char c : url) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == ' ' || byte >= 0x80) {
            escaped.push_back('%');
            escaped.push_back(kHex[byte >> 4]);
            escaped.push_back(kHex[byte & 0x0F]);
        } else {
            escaped.push_back(c);
        }
    }
    return escaped;
}

} // namespace detail

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::array<const char*, 8> kMethodNames{"GET",     "POST",   "HEAD",  "PUT",
                                                  "OPTIONS", "DELETE", "TRACE", "CONNECT"};
constexpr long kMaxRedirects = 10;

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct CurlDeleter {
    void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct ListDeleter {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

/// RFC 9110 token characters: anything else cannot be a header name on the wire.
bool isValidHeaderName(std::string_view name) {
    if (name.empty())
        return false;
    static constexpr std::string_view kSpecials = "!#$%&'*+-.^_`|~";
    for (const char c : name) {
        const bool alnum = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!alnum && kSpecials.find(c) == std::string_view::npos)
            return false;
    }
    return true;
}

bool isValidHeaderValue(std::string_view value) {
    return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

/// Request headers in the order they were set; setting a name again replaces its value.
class HeaderList {
public:
    void set(std::string name, std::string value) {
        if (!isValidHeaderName(name) || !isValidHeaderValue(value))
            return; // a line no client can send is dropped, the request goes on
        for (auto& entry : m_entries)
            if (detail::asciiLower(entry.first) == detail::asciiLower(name)) {
                entry.second = std::move(value);
                return;
            }
        m_entries.emplace_back(std::move(name), std::move(value));
    }
    void remove(std::string_view name) {
        std::erase_if(m_entries, [&](const auto& entry) {
            return detail::asciiLower(entry.first) == detail::asciiLower(name);
        });
    }
    bool has(std::string_view name) const {
        for (const auto& entry : m_entries)
            if (detail::asciiLower(entry.first) == detail::asciiLower(name))
                return true;
        return false;
    }
    const std::vector<std::pair<std::string, std::string>>& entries() const { return m_entries; }

private:
    std::vector<std::pair<std::string, std::string>> m_entries;
};

struct Transfer {
    std::string body;
    std::vector<std::string> headerLines;
    std::size_t maxBodyBytes = 0;
    bool tooLarge = false;

    const std::function<bool()>* stopRequested = nullptr;
    bool stopped = false;

    std::chrono::milliseconds idleTimeout{0};
    bool connected = false; // until then the connect time-out governs
    Clock::time_point lastActivity = Clock::now();
    curl_off_t lastDown = 0;
    curl_off_t lastUp = 0;
    bool idleTimedOut = false;
};

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    if (transfer->body.size() + bytes > transfer->maxBodyBytes) {
        transfer->tooLarge = true;
        return 0; // stops the transfer
    }
    transfer->body.append(data, bytes);
    return bytes;
}

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    std::string_view line(data, bytes);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    if (line.starts_with("HTTP/")) {
        transfer->headerLines.clear(); // a new response (redirect, 100 Continue, proxy tunnel) begins
    } else if (!line.empty()) {
        transfer->headerLines.emplace_back(line);
    }
    return bytes;
}

/// Aborts on the caller's stop request, or when nothing moved for a whole phase; connecting has its
/// own time-out.
int onProgress(void* user, curl_off_t, curl_off_t downloaded, curl_off_t, curl_off_t uploaded) {
    auto* transfer = static_cast<Transfer*>(user);
    if (transfer->stopRequested && *transfer->stopRequested && (*transfer->stopRequested)()) {
        transfer->stopped = true;
        return 1;
    }
    const Clock::time_point now = Clock::now();
    if (!transfer->connected)
        return 0;
    if (downloaded != transfer->lastDown || uploaded != transfer->lastUp) {
        transfer->lastDown = downloaded;
        transfer->lastUp = uploaded;
        transfer->lastActivity = now;
        return 0;
    }
    if (now - transfer->lastActivity > transfer->idleTimeout) {
        transfer->idleTimedOut = true;
        return 1;
    }
    return 0;
}

/// The connection is up and a request is about to go out: waiting for it starts now.
int onRequestReady(void* user, char*, char*, int, int) {
    auto* transfer = static_cast<Transfer*>(user);
    transfer->connected = true;
    transfer->lastActivity = Clock::now();
    return CURL_PREREQFUNC_OK;
}

/// Inflates gzip or zlib/raw deflate data; nullopt when it is corrupt or grows past `limit`.
std::optional<std::string> inflateBody(std::string_view compressed, int windowBits, std::size_t limit) {
    z_stream stream{};
    if (inflateInit2(&stream, windowBits) != Z_OK)
        return std::nullopt;
    std::string output;
    std::array<char, 16384> buffer;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        stream.next_out = reinterpret_cast<Bytef*>(buffer.data());
        stream.avail_out = static_cast<uInt>(buffer.size());
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) {
            inflateEnd(&stream);
            return std::nullopt;
        }
        output.append(buffer.data(), buffer.size() - stream.avail_out);
        if (output.size() > limit || (status == Z_OK && stream.avail_in == 0 && stream.avail_out != 0)) {
            inflateEnd(&stream);
            return std::nullopt; // too large, or the data ended before the stream did
        }
    }
    inflateEnd(&stream);
    return output;
}

struct UrlDeleter {
    void operator()(CURLU* handle) const { curl_url_cleanup(handle); }
};

/// The protocols a redirect may lead to: an https start never drops to plain http. The scheme comes
/// from the client's own URL parser, so it is the one the request really uses; an unparsable URL gets
/// the strict answer.
const char* redirectProtocols(const std::string& url) {
    const std::unique_ptr<CURLU, UrlDeleter> parsed(curl_url());
    char* scheme = nullptr;
    if (!parsed ||
        curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(),
                     CURLU_GUESS_SCHEME | CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK ||
        curl_url_get(parsed.get(), CURLUPART_SCHEME, &scheme, 0) != CURLUE_OK)
        return "https";
    const bool plain = detail::asciiLower(scheme) == "http";
    curl_free(scheme);
    return plain ? "http,https" : "https";
}

std::string headerValueOf(const std::vector<std::string>& lines, std::string_view name) {
    for (const std::string& line : lines)
        if (detail::asciiLower(HeaderName(line)) == name)
            return detail::asciiLower(HeaderValue(line));
    return {};
}

void fail(WebAnswer& answer, std::string error) {
    answer.failed = true;
    answer.error = std::move(error);
    answer.body.clear();
}

/// Decodes a gzip or deflate body in place; other encodings are returned as they came.
void decodeBody(WebAnswer& answer, const std::vector<std::string>& headerLines, std::size_t limit) {
    const std::string encoding = headerValueOf(headerLines, "content-encoding");
    if (answer.body.empty())
        return;
    std::optional<std::string> decoded;
    if (encoding == "gzip" || encoding == "x-gzip")
        decoded = inflateBody(answer.body, 15 + 16, limit);
    else if (encoding == "deflate")
        decoded =
            inflateBody(answer.body, 15, limit).or_else([&] { return inflateBody(answer.body, -15, limit); });
    else
        return;
    if (!decoded)
        return fail(answer, "the " + encoding + " answer is corrupt or larger than the limit");
    answer.body = std::move(*decoded);
}

} // namespace

WebAnswer WebRequest(const WebRequestOptions& options) {
    WebAnswer answer;
    const int method = options.method >= 0 && options.method <= 7 ? options.method : 0;

    // The cookie text loses any "Cookie:" prefix, in the caller's copy too.
    std::optional<std::string> cookies = options.cookies;
    if (cookies && !cookies->empty() && detail::containsIgnoringCase(*cookies, "Cookie:"))
        cookies = detail::replaceAll(*cookies, "Cookie:", "", true);

    const std::string url = detail::escapeUrl(options.url);
    std::string block = options.headers;
    if (options.completeHeaders)
        block = detail::CompleteHeaders(block, url, method);
    if (options.normalizeHeaderCase)
        block = detail::NormalizeHeaderCase(block);

    HeaderList headers;
    if (cookies)
        headers.set("Cookie", *cookies);
    if (block.find("\r\n") == std::string::npos) {
        headers.set(HeaderName(block), HeaderValue(block));
    } else {
        for (const std::string& line : SplitText(block, "\r\n")) {
            if (line.empty())
                continue;
            const std::string name = HeaderName(line);
            const std::string value = HeaderValue(line);
            if (name == "Connection" && value == "keep-alive")
                continue;
            headers.set(name, value);
        }
    }
    // The body always goes out with its real length.
    headers.remove("Content-Length");
    headers.remove("Transfer-Encoding");

    initialiseCurlOnce();
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) {
        answer.failed = true;
        answer.error = "the HTTP client could not be created";
        answer.cookies = options.cookies;
        return answer;
    }
    CURL* handle = curl.get();
    std::array<char, CURL_ERROR_SIZE> errorBuffer{};

    Transfer transfer;
    transfer.maxBodyBytes = options.maxBodyBytes;
    const detail::PhaseTimeouts timeouts = detail::phaseTimeouts(options.timeout);
    transfer.idleTimeout = timeouts.idle;
    transfer.stopRequested = &options.stopRequested;
    const std::chrono::milliseconds overall =
        options.overallTimeout.count() > 0 ? options.overallTimeout : kDefaultOverallTimeout;

    curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
    curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorBuffer.data());
    curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, redirectProtocols(url));
    curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, options.noRedirect ? 0L : 1L);
    curl_easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirects);
    // Certificates and host names are checked against the system's store (or the given one).
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(handle, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!options.caBundlePath.empty())
        curl_easy_setopt(handle, CURLOPT_CAINFO, options.caBundlePath.c_str());
    // Bodies are decoded here, under the size limit, whatever the client asked for.
    curl_easy_setopt(handle, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(timeouts.connect.count()));
    curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(overall.count()));
    curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_PREREQFUNCTION, onRequestReady);
    curl_easy_setopt(handle, CURLOPT_PREREQDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(handle, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(handle, CURLOPT_HEADERDATA, &transfer);

    // An empty proxy also keeps proxies from the environment out.
    curl_easy_setopt(handle, CURLOPT_PROXY, options.proxy.c_str());
    std::string user;
    std::string password;
    if (!options.proxy.empty() && !options.proxyUser.empty()) {
        user = ConvertCharset(options.proxyUser, "UTF-8", "GBK");
        password = ConvertCharset(options.proxyPassword, "UTF-8", "GBK");
        if (options.proxyCredentialsFlag == 0) {
            curl_easy_setopt(handle, CURLOPT_USERNAME, user.c_str());
            curl_easy_setopt(handle, CURLOPT_PASSWORD, password.c_str());
            curl_easy_setopt(handle, CURLOPT_HTTPAUTH, CURLAUTH_ANY);
        } else {
            curl_easy_setopt(handle, CURLOPT_PROXYUSERNAME, user.c_str());
            curl_easy_setopt(handle, CURLOPT_PROXYPASSWORD, password.c_str());
            // Basic is sent with the first request, as a Proxy-Authorization header.
            curl_easy_setopt(handle, CURLOPT_PROXYAUTH,
                             options.proxyCredentialsFlag == 1 ? CURLAUTH_BASIC : CURLAUTH_ANY);
        }
    }

    const std::string& body = options.bodyBytes.empty() ? options.body : options.bodyBytes;
    const bool sendsBody = method != 2 && (!body.empty() || method == 1 || method == 3);
    if (method == 2)
        curl_easy_setopt(handle, CURLOPT_NOBODY, 1L);
    if (sendsBody) {
        curl_easy_setopt(handle, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
        curl_easy_setopt(handle, CURLOPT_POSTFIELDS, body.data());
    }
    if (method != 1 && method != 2)
        curl_easy_setopt(handle, CURLOPT_CUSTOMREQUEST, kMethodNames[static_cast<std::size_t>(method)]);

    // Only the headers built above go out: the client's own defaults are switched off.
    std::unique_ptr<curl_slist, ListDeleter> list;
    const auto append = [&list](const std::string& line) {
        curl_slist* grown = curl_slist_append(list.get(), line.c_str());
        if (grown) {
            (void)list.release();
            list.reset(grown);
        }
    };
    for (const auto& [name, value] : headers.entries())
        append(value.empty() ? name + ";" : name + ": " + value);
    if (!headers.has("Accept"))
        append("Accept:");
    if (sendsBody && !headers.has("Content-Type"))
        append("Content-Type:");
    if (sendsBody)
        append("Expect:");
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, list.get());

    const CURLcode result = curl_easy_perform(handle);

    long status = 0;
    curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
    answer.status = static_cast<int>(status);
    for (std::size_t i = 0; i < transfer.headerLines.size(); ++i) {
        if (i)
            answer.headers.append("\r\n");
        answer.headers.append(transfer.headerLines[i]);
    }
    answer.body = std::move(transfer.body);
    if (transfer.tooLarge) {
        fail(answer, "the answer is larger than " + std::to_string(options.maxBodyBytes) + " bytes");
    } else if (transfer.stopped) {
        fail(answer, "the request was stopped");
    } else if (transfer.idleTimedOut) {
        fail(answer, "timed out waiting for the server");
    } else if (result != CURLE_OK) {
        fail(answer,
             errorBuffer[0] ? std::string(errorBuffer.data()) : std::string(curl_easy_strerror(result)));
    } else {
        decodeBody(answer, transfer.headerLines, options.maxBodyBytes);
    }

    answer.returnedCookies = detail::CookiesFromHeaders(answer.headers);
    if (options.mergeCookies && cookies) {
        cookies = detail::MergeCookies(*cookies, answer.returnedCookies);
        answer.returnedCookies = *cookies;
    }
    answer.cookies = std::move(cookies);
    return answer;
}

} // namespace net
