#include "tools/ai/completion_client.h"

namespace ai {

std::string answerBody(const net::WebAnswer& answer) {
    if (answer.failed || answer.status < 200 || answer.status > 299)
        return {};
    return answer.body;
}

std::string fetchCompletion(const CompletionRequest& request, std::function<bool()> stopRequested) {
    net::WebRequestOptions options;
    options.url = request.url;
    options.method = 1;
    options.body = request.body;
    options.headers = request.headers;
    options.cookies = request.cookies;
    options.maxBodyBytes = kMaxAnswerBytes;
    options.stopRequested = std::move(stopRequested);
    return answerBody(net::WebRequest(options));
}

} // namespace ai
