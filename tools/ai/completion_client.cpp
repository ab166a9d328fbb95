#include "tools/ai/completion_client.h"

#include "net/web_request.h"

namespace ai {

std::string fetchCompletion(const CompletionRequest& request) {
    net::WebRequestOptions options;
    options.url = request.url;
    options.method = 1;
    options.body = request.body;
    options.headers = request.headers;
    options.cookies = request.cookies;
    const net::WebAnswer answer = net::WebRequest(options);
    return answer.body;
}

} // namespace ai
