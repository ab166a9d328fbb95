#pragma once

#include "platform/desktop_error.h"

#include <expected>
#include <functional>
#include <memory>

namespace platform {

enum class Hotkey { F7, F8 };

/// F7 and F8 held as system-wide hotkeys (no modifier keys) while grabbed.
class GlobalHotkeys {
public:
    using PressHandler = std::function<void(Hotkey)>;

    virtual ~GlobalHotkeys() = default;

    /// Takes F7 and F8 for this program. Grabbing while they are held does nothing. When another
    /// program holds either key, neither is kept and the error is KeyTaken.
    virtual std::expected<void, DesktopError> grab() = 0;
    /// Gives both keys back to the other programs; harmless when they are not held.
    virtual void release() = 0;
    virtual bool held() const = 0;

    /// Called for each press of a held key, from processPendingEvents (or from the system's message
    /// loop where eventDescriptor is -1).
    virtual void setPressHandler(PressHandler handler) = 0;

    /// A descriptor that becomes readable when key events wait; the caller then calls
    /// processPendingEvents. -1 where the system's own message loop delivers the presses.
    virtual int eventDescriptor() const = 0;
    virtual void processPendingEvents() = 0;
};

/// Connects to the desktop's hotkey service; fails when there is no desktop.
std::expected<std::unique_ptr<GlobalHotkeys>, DesktopError> openGlobalHotkeys();

} // namespace platform
