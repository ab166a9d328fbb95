#include "platform/x11_error_trap.h"

namespace platform::x11 {
namespace {

std::mutex g_trapMutex;
// Guarded by g_trapMutex while a trap is set.
Display* g_trappedDisplay = nullptr;
int g_firstError = 0;
XErrorHandler g_outerHandler = nullptr;

int trapHandler(Display* display, XErrorEvent* event) {
    if (display == g_trappedDisplay) {
        if (g_firstError == 0)
            g_firstError = event->error_code;
        return 0;
    }
    // Another connection of the process (the toolkit's own) keeps its handler.
    return g_outerHandler ? g_outerHandler(display, event) : 0;
}

std::mutex& trapMutex() {
    return g_trapMutex;
}

} // namespace

ErrorTrap::ErrorTrap(Display* display) : m_lock(trapMutex()), m_display(display) {
    // Errors of earlier requests belong to nobody's trap; they must not be counted here.
    XSync(m_display, False);
    g_trappedDisplay = m_display;
    g_firstError = 0;
    m_previous = XSetErrorHandler(trapHandler);
    g_outerHandler = m_previous;
}

ErrorTrap::~ErrorTrap() {
    XSync(m_display, False);
    XSetErrorHandler(m_previous);
    g_trappedDisplay = nullptr;
    g_outerHandler = nullptr;
}

int ErrorTrap::sync() {
    XSync(m_display, False);
    return g_firstError;
}

void ErrorTrap::clear() {
    g_firstError = 0;
}

} // namespace platform::x11
