#pragma once

#include <string>

namespace platform {

/// Why a desktop facility (window input, hotkeys) cannot be used.
struct DesktopError {
    enum class Kind {
        NoDesktop, ///< no display to connect to, or it lacks a needed extension
        KeyTaken,  ///< another program holds a hotkey
    };
    Kind kind = Kind::NoDesktop;
    std::string detail; ///< what the system said, for the curious; not a message for the user
};

} // namespace platform
