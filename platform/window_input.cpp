#include "platform/window_input.h"

#include <algorithm>
#include <string>

namespace platform {
namespace {

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool titleMatchesTarget(std::string_view utf8Title) {
    // In UTF-8 every byte of a multi-byte character is above 0x7F, so folding ASCII bytes never
    // touches a Chinese character and a match can never start inside one.
    static constexpr std::string_view kTarget = "旺铺-商品装修 - google chrome";
    std::string folded(utf8Title);
    std::ranges::transform(folded, folded.begin(), lowerAscii);
    return folded.find(kTarget) != std::string::npos;
}

} // namespace platform
