#include "platform/x11_display.h"

#include <chrono>
#include <cstdlib>
#include <string>
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

std::expected<Display*, DesktopError> openDesktopDisplay() {
    if (Display* display = openDisplay())
        return display;
    const char* name = std::getenv("DISPLAY");
    return std::unexpected(DesktopError{DesktopError::Kind::NoDesktop,
                                        std::string("cannot open X display ") + (name ? name : "(unset)")});
}

} // namespace platform::x11
