#pragma once

#include "tools/ai/completion.h"

#include <string>

namespace ai {

/// Sends the request (blocking; run it on a worker) and returns the answer's body as received, UTF-8
/// from the service. A failed exchange gives an empty body, which empties the output box.
std::string fetchCompletion(const CompletionRequest& request);

} // namespace ai
