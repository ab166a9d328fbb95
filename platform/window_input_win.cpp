// Window finding and input on Windows: posted keyboard messages and synthetic mouse buttons.
#include "platform/key_messages.h"
#include "platform/window_input.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace platform {
namespace {

HWND toHandle(WindowId window) {
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(window));
}

// Titles are compared in UTF-8 rather than in code page 936: the conversion loses no character, and a
// match cannot start in the middle of a double-byte character.
std::string windowTitleUtf8(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, title.data(), length + 1);
    if (copied <= 0)
        return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, title.data(), copied, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_UTF8, 0, title.data(), copied, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

void leftClick() {
    mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

class WinWindowInput final : public WindowInput {
public:
    WindowId findTargetWindow() override {
        // FindWindowEx walks the top-level windows from the top of the Z order.
        HWND window = nullptr;
        while ((window = FindWindowExA(nullptr, window, "Chrome_WidgetWin_1", nullptr)) != nullptr) {
            if (titleMatchesTarget(windowTitleUtf8(window)))
                return static_cast<WindowId>(reinterpret_cast<std::uintptr_t>(window));
        }
        return 0;
    }

    bool windowExists(WindowId window) override { return window != 0 && IsWindow(toHandle(window)); }

    void postKey(WindowId window, std::uint32_t code, KeyKind kind, bool systemKey) override {
        const auto scanCodeOf = [](std::uint32_t virtualKey) {
            return static_cast<std::uint32_t>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
        };
        for (const KeyMessage& message : keyMessagesFor(code, kind, systemKey, scanCodeOf))
            PostMessageW(toHandle(window), message.message, static_cast<WPARAM>(message.wParam),
                         static_cast<LPARAM>(message.lParam));
    }

    void clickInWindow(WindowId window, std::optional<int> x, std::optional<int> y, int kind) override {
        POINT remembered{};
        GetCursorPos(&remembered);
        if (kind == 0)
            kind = static_cast<int>(ClickKind::Left);
        if (kind < 1 || kind > 3)
            return;
        POINT point{x.value_or(remembered.x), y.value_or(remembered.y)};
        if (window != 0) {
            // A coordinate not given keeps the cursor where it is on that axis.
            POINT cursorInClient = remembered;
            if (!ScreenToClient(toHandle(window), &cursorInClient))
                return;
            point = POINT{x.value_or(cursorInClient.x), y.value_or(cursorInClient.y)};
            if (!ClientToScreen(toHandle(window), &point))
                return;
        }
        SetCursorPos(point.x, point.y);
        switch (static_cast<ClickKind>(kind)) {
        case ClickKind::Left:
            leftClick();
            break;
        case ClickKind::Right:
            mouse_event(MOUSEEVENTF_RIGHTDOWN, 0, 0, 0, 0);
            mouse_event(MOUSEEVENTF_RIGHTUP, 0, 0, 0, 0);
            break;
        case ClickKind::LeftDownAndMove:
            mouse_event(MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
            break;
        }
        SetCursorPos(remembered.x, remembered.y);
    }

    void clickOnScreen(int x, int y) override {
        SetCursorPos(x, y);
        leftClick();
    }
};

} // namespace

std::expected<std::unique_ptr<WindowInput>, DesktopError> openWindowInput() {
    return std::make_unique<WinWindowInput>();
}

} // namespace platform
