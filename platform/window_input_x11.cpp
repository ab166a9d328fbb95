// Window finding and input on X11: Xlib for windows and posted keys, XTest for the mouse.
#include "platform/window_input.h"
#include "platform/x11_display.h"
#include "platform/x11_error_trap.h"
#include "platform/x11_keysyms.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace platform {
namespace {

constexpr std::string_view kBrowserClass = "Chrome_WidgetWin_1";

// Reads a property of 32-bit items (windows); empty when it is missing or of another type.
std::vector<Window> windowListProperty(Display* display, Window window, Atom property) {
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long bytesAfter = 0;
    unsigned char* data = nullptr;
    std::vector<Window> windows;
    if (XGetWindowProperty(display, window, property, 0, 1 << 16, False, XA_WINDOW, &actualType,
                           &actualFormat, &count, &bytesAfter, &data) == Success &&
        data != nullptr && actualType == XA_WINDOW && actualFormat == 32) {
        // Xlib hands 32-bit items back as longs.
        const auto* items = reinterpret_cast<const unsigned long*>(data);
        windows.assign(items, items + count);
    }
    if (data)
        XFree(data);
    return windows;
}

std::string utf8Property(Display* display, Window window, Atom property, Atom utf8String) {
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long bytesAfter = 0;
    unsigned char* data = nullptr;
    std::string text;
    if (XGetWindowProperty(display, window, property, 0, 1 << 16, False, utf8String, &actualType,
                           &actualFormat, &count, &bytesAfter, &data) == Success &&
        data != nullptr && actualType == utf8String && actualFormat == 8)
        text.assign(reinterpret_cast<const char*>(data), count);
    if (data)
        XFree(data);
    return text;
}

// The ICCCM title, which may be Latin-1 or compound text, converted to UTF-8.
std::string legacyTitle(Display* display, Window window) {
    XTextProperty property{};
    std::string text;
    if (!XGetWMName(display, window, &property) || property.value == nullptr)
        return text;
    char** list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(display, &property, &list, &count) >= Success && list) {
        for (int i = 0; i < count; ++i)
            text += list[i];
        XFreeStringList(list);
    }
    XFree(property.value);
    return text;
}

// The window's class (WM_CLASS), empty when it has a class hint without one; nothing without a hint.
std::optional<std::string> windowClass(Display* display, Window window) {
    XClassHint hint{};
    if (!XGetClassHint(display, window, &hint))
        return std::nullopt;
    std::string windowClass = hint.res_class ? hint.res_class : "";
    if (hint.res_name)
        XFree(hint.res_name);
    if (hint.res_class)
        XFree(hint.res_class);
    return windowClass;
}

bool hasBrowserClass(Display* display, Window window) {
    return windowClass(display, window) == kBrowserClass;
}

bool hasClassHint(Display* display, Window window) {
    return windowClass(display, window).has_value();
}

std::vector<Window> childrenBottomFirst(Display* display, Window window) {
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<Window> list;
    if (XQueryTree(display, window, &root, &parent, &children, &count) && children)
        list.assign(children, children + count);
    if (children)
        XFree(children);
    return list;
}

// A reparenting window manager puts each program's window inside a frame: the program's window is the
// first one below the frame that carries a class hint.
Window clientWindowOf(Display* display, Window topLevel) {
    std::deque<std::pair<Window, int>> queue{{topLevel, 0}};
    while (!queue.empty()) {
        const auto [window, depth] = queue.front();
        queue.pop_front();
        if (hasClassHint(display, window))
            return window;
        if (depth < 3)
            for (Window child : childrenBottomFirst(display, window))
                queue.emplace_back(child, depth + 1);
    }
    return None;
}

class X11WindowInput final : public WindowInput {
public:
    explicit X11WindowInput(Display* display)
        : m_display(display), m_root(DefaultRootWindow(display)), m_screen(DefaultScreen(display)),
          m_stackingAtom(XInternAtom(display, "_NET_CLIENT_LIST_STACKING", False)),
          m_nameAtom(XInternAtom(display, "_NET_WM_NAME", False)),
          m_utf8Atom(XInternAtom(display, "UTF8_STRING", False)) {}

    ~X11WindowInput() override { XCloseDisplay(m_display); }
    X11WindowInput(const X11WindowInput&) = delete;
    X11WindowInput& operator=(const X11WindowInput&) = delete;

    WindowId findTargetWindow() override {
        x11::ErrorTrap trap(m_display);
        for (Window window : topLevelsTopFirst()) {
            trap.clear();
            if (!hasBrowserClass(m_display, window))
                continue;
            std::string title = utf8Property(m_display, window, m_nameAtom, m_utf8Atom);
            if (title.empty())
                title = legacyTitle(m_display, window);
            // A window that vanished while it was read is not a match.
            if (trap.sync() == 0 && titleMatchesTarget(title))
                return window;
        }
        return 0;
    }

    bool windowExists(WindowId window) override {
        if (window == 0)
            return false;
        x11::ErrorTrap trap(m_display);
        XWindowAttributes attributes{};
        return XGetWindowAttributes(m_display, window, &attributes) != 0 && trap.sync() == 0;
    }

    void postKey(WindowId window, std::uint32_t code, KeyKind kind, bool systemKey) override {
        if (window == 0)
            return;
        const std::uint32_t keysym =
            kind == KeyKind::Character ? x11::keysymForCharacter(code) : x11::keysymForVirtualKey(code);
        if (keysym == 0)
            return;
        const KeyCode keycode = XKeysymToKeycode(m_display, keysym);
        if (keycode == 0)
            return; // the keyboard map has no key for it
        unsigned int state = modifiersFor(keycode, keysym);
        if (systemKey)
            state |= Mod1Mask;
        x11::ErrorTrap trap(m_display);
        if (kind != KeyKind::Up)
            sendKey(window, KeyPress, keycode, state);
        if (kind != KeyKind::Down)
            sendKey(window, KeyRelease, keycode, state);
    }

    void clickInWindow(WindowId window, std::optional<int> x, std::optional<int> y, int kind) override {
        x11::ErrorTrap trap(m_display);
        const auto [cursorX, cursorY] = cursorPosition();
        if (kind == 0)
            kind = static_cast<int>(ClickKind::Left);
        if (kind < 1 || kind > 3)
            return;
        int screenX = x.value_or(cursorX);
        int screenY = y.value_or(cursorY);
        if (window != 0) {
            Window child = None;
            int cursorInWindowX = 0;
            int cursorInWindowY = 0;
            XTranslateCoordinates(m_display, m_root, window, cursorX, cursorY, &cursorInWindowX,
                                  &cursorInWindowY, &child);
            XTranslateCoordinates(m_display, window, m_root, x.value_or(cursorInWindowX),
                                  y.value_or(cursorInWindowY), &screenX, &screenY, &child);
            // A window that is gone has no client area; clicking somewhere else would be worse.
            if (trap.sync() != 0)
                return;
        }
        XTestFakeMotionEvent(m_display, m_screen, screenX, screenY, CurrentTime);
        switch (static_cast<ClickKind>(kind)) {
        case ClickKind::Left:
            clickButton(Button1);
            break;
        case ClickKind::Right:
            clickButton(Button3);
            break;
        case ClickKind::LeftDownAndMove:
            XTestFakeButtonEvent(m_display, Button1, True, CurrentTime);
            break;
        }
        XTestFakeMotionEvent(m_display, m_screen, cursorX, cursorY, CurrentTime);
        XSync(m_display, False);
    }

    void clickOnScreen(int x, int y) override {
        x11::ErrorTrap trap(m_display);
        XTestFakeMotionEvent(m_display, m_screen, x, y, CurrentTime);
        clickButton(Button1);
        XSync(m_display, False);
    }

private:
    // Top first, as Windows enumerates: the window manager's stacking list when there is one, else
    // the root's children (XQueryTree lists them bottom first).
    std::vector<Window> topLevelsTopFirst() {
        std::vector<Window> windows = windowListProperty(m_display, m_root, m_stackingAtom);
        if (windows.empty()) {
            for (Window frame : childrenBottomFirst(m_display, m_root))
                if (Window client = clientWindowOf(m_display, frame); client != None)
                    windows.push_back(client);
        }
        std::ranges::reverse(windows);
        return windows;
    }

    std::pair<int, int> cursorPosition() {
        Window rootReturn = None;
        Window child = None;
        int rootX = 0;
        int rootY = 0;
        int windowX = 0;
        int windowY = 0;
        unsigned int mask = 0;
        XQueryPointer(m_display, m_root, &rootReturn, &child, &rootX, &rootY, &windowX, &windowY, &mask);
        return {rootX, rootY};
    }

    // The modifiers that make `keycode` produce `keysym`: none at the first level, Shift (or NumLock
    // for the keypad) at the second.
    unsigned int modifiersFor(KeyCode keycode, std::uint32_t keysym) {
        if (XkbKeycodeToKeysym(m_display, keycode, 0, 0) == keysym)
            return 0;
        if (XkbKeycodeToKeysym(m_display, keycode, 0, 1) == keysym)
            return IsKeypadKey(keysym) ? numLockMask() : ShiftMask;
        return 0;
    }

    unsigned int numLockMask() {
        const KeyCode numLock = XKeysymToKeycode(m_display, XK_Num_Lock);
        XModifierKeymap* map = XGetModifierMapping(m_display);
        unsigned int mask = 0;
        for (int modifier = 0; map && modifier < 8 && numLock != 0; ++modifier)
            for (int i = 0; i < map->max_keypermod; ++i)
                if (map->modifiermap[modifier * map->max_keypermod + i] == numLock)
                    mask = 1u << modifier;
        if (map)
            XFreeModifiermap(map);
        return mask ? mask : Mod2Mask;
    }

    void sendKey(Window window, int type, KeyCode keycode, unsigned int state) {
        XEvent event{};
        event.xkey.type = type;
        event.xkey.display = m_display;
        event.xkey.window = window;
        event.xkey.root = m_root;
        event.xkey.subwindow = None;
        event.xkey.time = CurrentTime;
        event.xkey.x = event.xkey.y = event.xkey.x_root = event.xkey.y_root = 1;
        event.xkey.same_screen = True;
        event.xkey.keycode = keycode;
        event.xkey.state = state;
        // Sent to the window itself: only the program that owns it sees the key.
        XSendEvent(m_display, window, False, type == KeyPress ? KeyPressMask : KeyReleaseMask, &event);
    }

    void clickButton(unsigned int button) {
        XTestFakeButtonEvent(m_display, button, True, CurrentTime);
        XTestFakeButtonEvent(m_display, button, False, CurrentTime);
    }

    Display* m_display;
    Window m_root;
    int m_screen;
    Atom m_stackingAtom;
    Atom m_nameAtom;
    Atom m_utf8Atom;
};

} // namespace

std::expected<std::unique_ptr<WindowInput>, DesktopError> openWindowInput() {
    const auto opened = x11::openDesktopDisplay();
    if (!opened)
        return std::unexpected(opened.error());
    Display* display = *opened;
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
        XCloseDisplay(display);
        return std::unexpected(DesktopError{DesktopError::Kind::NoDesktop, "X server without XTEST"});
    }
    return std::make_unique<X11WindowInput>(display);
}

} // namespace platform
