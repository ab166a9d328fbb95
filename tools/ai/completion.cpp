#include "tools/ai/completion.h"

#include <cstdint>

namespace ai {

namespace {

constexpr std::string_view kCompletionPath = "/api/create-completion";

// Length of the UTF-8 sequence starting at text[pos], or 0 when the bytes there are not a valid one
// (overlong forms, surrogates and values beyond U+10FFFF included).
std::size_t validUtf8Length(std::string_view text, std::size_t pos) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[pos + i]); };
    const auto continuation = [&](std::size_t i) {
        return pos + i < text.size() && (byte(i) & 0xC0) == 0x80;
    };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return continuation(1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (!continuation(1) || !continuation(2))
            return 0;
        if ((lead == 0xE0 && byte(1) < 0xA0) || (lead == 0xED && byte(1) > 0x9F))
            return 0;
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (!continuation(1) || !continuation(2) || !continuation(3))
            return 0;
        if ((lead == 0xF0 && byte(1) < 0x90) || (lead == 0xF4 && byte(1) > 0x8F))
            return 0;
        return 4;
    }
    return 0;
}

} // namespace

std::string_view templateName(Generator generator) {
    switch (generator) {
    case Generator::Encyclopedia:
        return "encyclopedia";
    case Generator::Article:
        return "blog-generator";
    case Generator::VideoScript:
        return "video-script-creator";
    }
    return "encyclopedia";
}

std::string jsonString(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    for (std::size_t pos = 0; pos < text.size();) {
        const char c = text[pos];
        const auto u = static_cast<std::uint8_t>(c);
        if (u >= 0x80) {
            const std::size_t length = validUtf8Length(text, pos);
            if (length == 0) {
                out += "\\ufffd";
                ++pos;
                continue;
            }
            const std::string_view sequence = text.substr(pos, length);
            // Line and paragraph separators are valid JSON but end lines in script parsers.
            if (sequence == "\u2028" || sequence == "\u2029")
                out += sequence == "\u2028" ? "\\u2028" : "\\u2029";
            else
                out += sequence;
            pos += length;
            continue;
        }
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (u < 0x20) {
                out += "\\u00";
                out += kHex[u >> 4];
                out += kHex[u & 0xF];
            } else {
                out += c;
            }
        }
        ++pos;
    }
    out += '"';
    return out;
}

std::string completionBody(Generator generator, std::string_view input) {
    std::string body = "{\"templateName\":";
    body += jsonString(templateName(generator));
    body += ",\"input\":";
    body += jsonString(input);
    body += ",\"stream\":true}";
    return body;
}

std::string baseUrl(std::string_view hostOrUrl, std::string_view defaultScheme) {
    std::string url;
    if (hostOrUrl.find("://") == std::string_view::npos) {
        url = defaultScheme;
        url += "://";
    }
    url += hostOrUrl;
    while (!url.empty() && url.back() == '/')
        url.pop_back();
    return url;
}

CompletionRequest completionRequest(Generator generator, std::string_view input,
                                    const ServiceConfig& config) {
    CompletionRequest request;
    request.url = baseUrl(config.serviceHost, "https") + std::string(kCompletionPath);
    request.body = completionBody(generator, input);

    const std::string frontEnd = baseUrl(config.frontEndHost, "https");
    // The browser's pseudo-headers (:authority, :method, :path, :scheme) are not header lines an HTTP
    // client can send, and Content-Length is the client's job: it must be the body's real length.
    // Compressed answers are left to the client's own Accept-Encoding, so the bytes arrive decoded.
    const std::string_view lines[] = {
        "accept: */*",
        "accept-language: zh-CN,zh;q=0.9",
        "cache-control: no-cache",
        "content-type: application/json",
        "pragma: no-cache",
        "sec-ch-ua: \"Google Chrome\";v=\"111\", \"Not(A:Brand\";v=\"8\", \"Chromium\";v=\"111\"",
        "sec-ch-ua-mobile: ?0",
        "sec-ch-ua-platform: \"Windows\"",
        "sec-fetch-dest: empty",
        "sec-fetch-mode: cors",
        "sec-fetch-site: same-site",
        "user-agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
        "Chrome/111.0.0.0 Safari/537.36",
    };
    std::string headers;
    const auto add = [&headers](std::string_view line) {
        if (!headers.empty())
            headers += "\r\n";
        headers += line;
    };
    for (std::size_t i = 0; i < std::size(lines); ++i) {
        add(lines[i]);
        if (lines[i].starts_with("content-type:")) {
            add("origin: " + frontEnd);
        } else if (lines[i].starts_with("pragma:")) {
            add("referer: " + frontEnd + "/");
        }
    }
    request.headers = std::move(headers);
    // Two tokens as two cookies of one Cookie header (a line break cannot travel inside a header).
    request.cookies =
        "x-jike-access-token=" + config.accessToken + "; x-jike-refresh-token=" + config.refreshToken;
    return request;
}

std::string formatAnswer(std::string_view body) {
    // Paragraph breaks for a Qt text box: "\n" is its line separator.
    constexpr std::string_view kFullStop = "。";
    std::string out;
    out.reserve(body.size() + body.size() / 8);
    std::size_t pos = 0;
    while (true) {
        const std::size_t found = body.find(kFullStop, pos);
        if (found == std::string_view::npos) {
            out += body.substr(pos);
            break;
        }
        out += body.substr(pos, found + kFullStop.size() - pos);
        out += "\n\n";
        pos = found + kFullStop.size();
    }
    return out;
}

} // namespace ai
