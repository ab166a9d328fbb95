#include "fake_target_window.h"

#include "platform/x11_display.h"
#include <X11/Xatom.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <poll.h>
#include <stdexcept>

namespace {

void setUtf8Property(Display* display, Window window, const char* name, const std::string& text) {
    XChangeProperty(display, window, XInternAtom(display, name, False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
}

} // namespace

FakeTargetWindow::FakeTargetWindow(Options options) {
    m_display = platform::x11::openDisplay();
    if (!m_display)
        throw std::runtime_error("FakeTargetWindow needs an X display");
    Display* display = m_display;
    XSetWindowAttributes attributes{};
    // No window manager runs under Xvfb; override-redirect is not needed, the position is kept as is.
    attributes.event_mask =
        KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask | StructureNotifyMask;
    attributes.background_pixel = WhitePixel(display, DefaultScreen(display));
    m_window =
        XCreateWindow(display, DefaultRootWindow(display), options.x, options.y,
                      static_cast<unsigned>(options.width), static_cast<unsigned>(options.height), 0,
                      CopyFromParent, InputOutput, CopyFromParent, CWEventMask | CWBackPixel, &attributes);
    std::string instance = "browser";
    XClassHint hint{instance.data(), options.windowClass.data()};
    XSetClassHint(display, m_window, &hint);
    if (options.titleInNetWmName)
        setUtf8Property(display, m_window, "_NET_WM_NAME", options.title);
    else
        setUtf8Property(display, m_window, "WM_NAME", options.title);
    XMapWindow(display, m_window);
    for (;;) {
        XEvent event{};
        XNextEvent(display, &event);
        if (event.type == MapNotify && event.xmap.window == m_window)
            break;
    }
    XSync(display, False);
    m_thread = std::thread([this] { pump(); });
}

FakeTargetWindow::~FakeTargetWindow() {
    m_stop = true;
    m_thread.join();
    XDestroyWindow(m_display, m_window);
    XCloseDisplay(m_display);
}

void FakeTargetWindow::raise() {
    std::lock_guard lock(m_mutex);
    XRaiseWindow(m_display, m_window);
    XSync(m_display, False);
}

void FakeTargetWindow::pump() {
    pollfd descriptor{ConnectionNumber(m_display), POLLIN, 0};
    while (!m_stop) {
        {
            std::lock_guard lock(m_mutex);
            while (XPending(m_display) > 0) {
                XEvent event{};
                XNextEvent(m_display, &event);
                if (event.type == KeyPress || event.type == KeyRelease)
                    m_keys.push_back({event.type == KeyPress, event.xkey.keycode, event.xkey.state,
                                      event.xkey.send_event != 0});
                else if (event.type == ButtonPress || event.type == ButtonRelease)
                    m_buttons.push_back(
                        {event.type == ButtonPress, event.xbutton.button, event.xbutton.x, event.xbutton.y});
            }
        }
        poll(&descriptor, 1, 5);
    }
}

std::vector<FakeTargetWindow::KeyEvent> FakeTargetWindow::keys() const {
    std::lock_guard lock(m_mutex);
    return m_keys;
}

std::vector<FakeTargetWindow::ButtonEvent> FakeTargetWindow::buttons() const {
    std::lock_guard lock(m_mutex);
    return m_buttons;
}

void FakeTargetWindow::clearRecords() {
    std::lock_guard lock(m_mutex);
    m_keys.clear();
    m_buttons.clear();
}

bool FakeTargetWindow::waitFor(const std::function<bool(const FakeTargetWindow&)>& done,
                               std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done(*this)) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
