// F7 and F8 as global hotkeys on X11: passive key grabs on the root window, on a connection of our
// own so the toolkit's event handling is not involved.
#include "platform/hotkeys.h"
#include "platform/x11_display.h"
#include "platform/x11_error_trap.h"

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <array>
#include <cstdlib>
#include <vector>

namespace platform {
namespace {

class X11GlobalHotkeys final : public GlobalHotkeys {
public:
    explicit X11GlobalHotkeys(Display* display)
        : m_display(display), m_root(DefaultRootWindow(display)), m_keys{XKeysymToKeycode(display, XK_F7),
                                                                         XKeysymToKeycode(display, XK_F8)},
          m_modifierSets(modifierSets()) {}

    ~X11GlobalHotkeys() override {
        release();
        XCloseDisplay(m_display);
    }
    X11GlobalHotkeys(const X11GlobalHotkeys&) = delete;
    X11GlobalHotkeys& operator=(const X11GlobalHotkeys&) = delete;

    std::expected<void, DesktopError> grab() override {
        if (m_held)
            return {};
        if (m_keys[0] == 0 || m_keys[1] == 0)
            return std::unexpected(
                DesktopError{DesktopError::Kind::NoDesktop, "the keyboard map has no F7 or F8"});
        x11::ErrorTrap trap(m_display);
        for (KeyCode key : m_keys)
            for (unsigned int modifiers : m_modifierSets)
                XGrabKey(m_display, key, modifiers, m_root, False, GrabModeAsync, GrabModeAsync);
        if (const int error = trap.sync(); error != 0) {
            // Keep nothing: half of the keys would be worse than none. Ungrabbing a grab that another
            // client holds does not touch that client's grab.
            ungrabAll();
            trap.sync();
            return std::unexpected(DesktopError{error == BadAccess ? DesktopError::Kind::KeyTaken
                                                                   : DesktopError::Kind::NoDesktop,
                                                "XGrabKey failed with error " + std::to_string(error)});
        }
        m_held = true;
        return {};
    }

    void release() override {
        if (!m_held)
            return;
        x11::ErrorTrap trap(m_display);
        ungrabAll();
        trap.sync();
        m_held = false;
    }

    bool held() const override { return m_held; }

    void setPressHandler(PressHandler handler) override { m_handler = std::move(handler); }

    int eventDescriptor() const override { return ConnectionNumber(m_display); }

    void processPendingEvents() override {
        while (XPending(m_display) > 0) {
            XEvent event{};
            XNextEvent(m_display, &event);
            if (event.type != KeyPress || !m_held || !m_handler)
                continue;
            if (event.xkey.keycode == m_keys[0])
                m_handler(Hotkey::F7);
            else if (event.xkey.keycode == m_keys[1])
                m_handler(Hotkey::F8);
        }
    }

private:
    // "No modifier keys" as the user sees it: Caps Lock and Num Lock are states, not modifiers, so the
    // keys are grabbed with every combination of those two.
    std::vector<unsigned int> modifierSets() {
        unsigned int numLock = 0;
        const KeyCode numLockKey = XKeysymToKeycode(m_display, XK_Num_Lock);
        if (XModifierKeymap* map = XGetModifierMapping(m_display)) {
            for (int modifier = 0; modifier < 8 && numLockKey != 0; ++modifier)
                for (int i = 0; i < map->max_keypermod; ++i)
                    if (map->modifiermap[modifier * map->max_keypermod + i] == numLockKey)
                        numLock = 1u << modifier;
            XFreeModifiermap(map);
        }
        std::vector<unsigned int> sets{0, LockMask};
        if (numLock != 0 && numLock != LockMask) {
            sets.push_back(numLock);
            sets.push_back(numLock | LockMask);
        }
        return sets;
    }

    void ungrabAll() {
        for (KeyCode key : m_keys)
            for (unsigned int modifiers : m_modifierSets)
                XUngrabKey(m_display, key, modifiers, m_root);
    }

    Display* m_display;
    Window m_root;
    std::array<KeyCode, 2> m_keys;
    std::vector<unsigned int> m_modifierSets;
    bool m_held = false;
    PressHandler m_handler;
};

} // namespace

std::expected<std::unique_ptr<GlobalHotkeys>, DesktopError> openGlobalHotkeys() {
    const auto opened = x11::openDesktopDisplay();
    if (!opened)
        return std::unexpected(opened.error());
    Display* display = *opened;
    return std::make_unique<X11GlobalHotkeys>(display);
}

} // namespace platform
