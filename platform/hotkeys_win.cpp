// F7 and F8 as global hotkeys on Windows: RegisterHotKey on a message-only window of our own, whose
// WM_HOTKEY messages the toolkit's message loop dispatches on the UI thread.
#include "platform/hotkeys.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace platform {
namespace {

constexpr int kF7Id = 0x7007;
constexpr int kF8Id = 0x7008;
constexpr wchar_t kSinkClass[] = L"VarrowHotkeySink";

class WinGlobalHotkeys final : public GlobalHotkeys {
public:
    explicit WinGlobalHotkeys(HWND sink) : m_sink(sink) {
        SetWindowLongPtrW(m_sink, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~WinGlobalHotkeys() override {
        release();
        SetWindowLongPtrW(m_sink, GWLP_USERDATA, 0);
        DestroyWindow(m_sink);
    }
    WinGlobalHotkeys(const WinGlobalHotkeys&) = delete;
    WinGlobalHotkeys& operator=(const WinGlobalHotkeys&) = delete;

    std::expected<void, DesktopError> grab() override {
        if (m_held)
            return {};
        if (!RegisterHotKey(m_sink, kF7Id, 0, VK_F7))
            return std::unexpected(failure());
        if (!RegisterHotKey(m_sink, kF8Id, 0, VK_F8)) {
            const DesktopError error = failure();
            UnregisterHotKey(m_sink, kF7Id);
            return std::unexpected(error);
        }
        m_held = true;
        return {};
    }

    void release() override {
        if (!m_held)
            return;
        UnregisterHotKey(m_sink, kF7Id);
        UnregisterHotKey(m_sink, kF8Id);
        m_held = false;
    }

    bool held() const override { return m_held; }
    void setPressHandler(PressHandler handler) override { m_handler = std::move(handler); }
    int eventDescriptor() const override { return -1; }
    void processPendingEvents() override {}

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_HOTKEY) {
            auto* self = reinterpret_cast<WinGlobalHotkeys*>(GetWindowLongPtrW(window, GWLP_USERDATA));
            if (self && self->m_held && self->m_handler) {
                if (wParam == kF7Id)
                    self->m_handler(Hotkey::F7);
                else if (wParam == kF8Id)
                    self->m_handler(Hotkey::F8);
            }
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

private:
    static DesktopError failure() {
        const DWORD code = GetLastError();
        return DesktopError{code == ERROR_HOTKEY_ALREADY_REGISTERED ? DesktopError::Kind::KeyTaken
                                                                    : DesktopError::Kind::NoDesktop,
                            "RegisterHotKey failed with error " + std::to_string(code)};
    }

    HWND m_sink;
    bool m_held = false;
    PressHandler m_handler;
};

} // namespace

std::expected<std::unique_ptr<GlobalHotkeys>, DesktopError> openGlobalHotkeys() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &WinGlobalHotkeys::windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kSinkClass;
    // A second registration of the class fails harmlessly; the first one stays in use.
    RegisterClassExW(&windowClass);
    HWND sink = CreateWindowExW(0, kSinkClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    if (!sink)
        return std::unexpected(
            DesktopError{DesktopError::Kind::NoDesktop,
                         "CreateWindowEx failed with error " + std::to_string(GetLastError())});
    return std::make_unique<WinGlobalHotkeys>(sink);
}

} // namespace platform
