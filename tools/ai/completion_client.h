#pragma once

#include "net/web_request.h"
#include "tools/ai/completion.h"

#include <cstddef>
#include <functional>
#include <string>

namespace ai {

/// The largest answer taken from the service. A real answer is a few pages; anything longer fails the
/// request, so one reply can neither fill the memory nor stall the output box.
inline constexpr std::size_t kMaxAnswerBytes = std::size_t{1} << 20;

/// The answer's body when the exchange succeeded with a 2xx status; "" otherwise, so that an error page
/// (401, 500, ...) is never shown as generated text.
std::string answerBody(const net::WebAnswer& answer);

/// Sends the request (blocking; run it on a worker) and returns the answer's body (UTF-8 from the
/// service) as answerBody() gives it. A failed, refused or too large answer gives "", which empties the
/// output box. `stopRequested`, when set, is asked now and then; once it says yes the exchange is
/// abandoned as failed (the window that asked is gone).
std::string fetchCompletion(const CompletionRequest& request, std::function<bool()> stopRequested = {});

} // namespace ai
