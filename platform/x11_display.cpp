#include "platform/x11_display.h"

#include <chrono>
#include <thread>

namespace platform::x11 {

Display* openDisplay() {
    constexpr int kAttempts = 5;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (Display* display = XOpenDisplay(nullptr))
            return display;
        std::this_thread::sleep_for(std::chrono::milliseconds(5 * (attempt + 1)));
    }
    return nullptr;
}

} // namespace platform::x11
