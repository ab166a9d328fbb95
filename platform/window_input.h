#pragma once

#include "platform/desktop_error.h"

#include <cstdint>
#include <expected>
#include <memory>
#include <optional>
#include <string_view>

namespace platform {

/// A top-level window of the desktop; 0 means none.
using WindowId = std::uint64_t;

/// How a key code is delivered: down, up, press (down then up) or as a typed character.
enum class KeyKind { Down, Up, Press, Character };

/// Mouse action of a click in a window: 0 counts as Left; other values do nothing.
enum class ClickKind : int { Left = 1, Right = 2, LeftDownAndMove = 3 };

/// True when a window title contains "旺铺-商品装修 - Google Chrome", ASCII letters compared without
/// regard to case. Both texts are UTF-8; other characters compare exactly.
bool titleMatchesTarget(std::string_view utf8Title);

/// Finding the browser window and sending it keys and clicks. One object per thread of use.
class WindowInput {
public:
    virtual ~WindowInput() = default;

    /// The first window, in stacking order from the top, of class "Chrome_WidgetWin_1" whose title
    /// matches titleMatchesTarget; 0 when there is none.
    virtual WindowId findTargetWindow() = 0;

    /// True while `window` still exists.
    virtual bool windowExists(WindowId window) = 0;

    /// Delivers a key to `window` itself (not to whatever has the focus). For Down, Up and Press `code`
    /// is a virtual-key code (VK_*); for Character it is a Unicode character. `systemKey` marks the key
    /// as pressed with Alt. A window that does not exist is ignored.
    virtual void postKey(WindowId window, std::uint32_t code, KeyKind kind, bool systemKey) = 0;

    /// Clicks at the client point (x, y) of `window` (screen coordinates when `window` is 0) and puts
    /// the cursor back where it was. A coordinate not given keeps the cursor's position on that axis.
    virtual void clickInWindow(WindowId window, std::optional<int> x, std::optional<int> y, int kind) = 0;

    /// Moves the cursor to (x, y) on the screen and clicks the left button there; the cursor stays.
    virtual void clickOnScreen(int x, int y) = 0;
};

/// Connects to the desktop; fails when there is no desktop to drive.
std::expected<std::unique_ptr<WindowInput>, DesktopError> openWindowInput();

} // namespace platform
