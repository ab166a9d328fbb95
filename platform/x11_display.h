#pragma once

#include <X11/Xlib.h>

namespace platform::x11 {

/// Connects to the display named by DISPLAY; null when that fails. A connection now and then breaks
/// down during its set-up (seen with Xvfb), so a few quick attempts are made before giving up.
Display* openDisplay();

} // namespace platform::x11
