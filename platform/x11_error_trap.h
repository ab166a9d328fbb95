#pragma once

// Xlib's default error handler ends the process. Every request about another program's window (which
// may vanish at any moment) or a key grab (which another program may hold) runs inside a trap that
// collects the error instead.

#include <X11/Xlib.h>

#include <mutex>

namespace platform::x11 {

class ErrorTrap {
public:
    explicit ErrorTrap(Display* display);
    ~ErrorTrap();
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    /// Waits until the server has handled every request so far; returns the first error code caught
    /// since the trap was set (or since the last clear), 0 for none.
    int sync();
    void clear();

private:
    // The handler is one per process; the lock keeps two traps from swapping it under each other.
    std::unique_lock<std::mutex> m_lock;
    Display* m_display;
    XErrorHandler m_previous;
};

} // namespace platform::x11
