#pragma once

#include <array>
#include <string>
#include <string_view>

namespace ai {

/// The three generators of the assistant, in the order of their pages.
enum class Generator { Encyclopedia, Article, VideoScript };

inline constexpr std::array kGenerators{Generator::Encyclopedia, Generator::Article, Generator::VideoScript};

/// The name the completion service knows the generator's template by, such as "encyclopedia".
std::string_view templateName(Generator generator);

/// `text` (UTF-8) as a JSON string literal, quotes included. Quotes, backslashes and control characters
/// are escaped; valid UTF-8 passes through; a byte that is not valid UTF-8 becomes U+FFFD, so the result
/// is always valid JSON.
std::string jsonString(std::string_view text);

/// The request body: {"templateName":…,"input":…,"stream":true}, without blanks, members in that order.
std::string completionBody(Generator generator, std::string_view input);

/// Where the service is and who we are to it.
struct ServiceConfig {
    std::string serviceHost;  ///< host, or a base URL with scheme and port ("http://127.0.0.1:8080")
    std::string frontEndHost; ///< the service's web front end, named in Origin and Referer
    std::string accessToken;
    std::string refreshToken;
};

/// One completion request, ready for the HTTP client (always a POST).
struct CompletionRequest {
    std::string url;
    std::string body;    ///< UTF-8 JSON
    std::string headers; ///< header lines joined by CR LF
    std::string cookies; ///< the Cookie header's value
};

CompletionRequest completionRequest(Generator generator, std::string_view input, const ServiceConfig& config);

/// A base URL for `hostOrUrl`: a value with a scheme is taken as it is (minus a trailing slash),
/// a bare host gets `defaultScheme`.
std::string baseUrl(std::string_view hostOrUrl, std::string_view defaultScheme);

/// The answer as the output box shows it: the whole body (UTF-8), every "。" ending a paragraph.
std::string formatAnswer(std::string_view body);

} // namespace ai
