#pragma once

#include "platform/desktop_error.h"

#include <X11/Xlib.h>

#include <expected>

namespace platform::x11 {

/// Connects to the display named by DISPLAY; null when that fails. A connection now and then breaks
/// down during its set-up (seen with Xvfb), so a few quick attempts are made before giving up.
Display* openDisplay();

/// openDisplay for a desktop facility: the connection, or why there is no desktop to use.
std::expected<Display*, DesktopError> openDesktopDisplay();

} // namespace platform::x11
