#pragma once

// The keyboard messages that post key sends on Windows, computed without the Windows headers so that
// the bit layout is checked on every system.

#include "platform/window_input.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace platform {

// Message numbers of the Win32 API.
inline constexpr std::uint32_t kWmKeyDown = 0x0100;
inline constexpr std::uint32_t kWmKeyUp = 0x0101;
inline constexpr std::uint32_t kWmChar = 0x0102;
inline constexpr std::uint32_t kWmSysKeyDown = 0x0104;
inline constexpr std::uint32_t kWmSysKeyUp = 0x0105;

struct KeyMessage {
    std::uint32_t message = 0;
    std::uint32_t wParam = 0;
    std::uint32_t lParam = 0;
    friend bool operator==(const KeyMessage&, const KeyMessage&) = default;
};

/// lParam of a key message: repeat count 1 (bits 0-15), the scan code (bits 16-23), bit 24 with the
/// system-key flag, and for a key release the previous-state and transition bits (30, 31).
std::uint32_t keyMessageLParam(std::uint32_t scanCode, bool systemKey, bool keyUp);

/// The virtual-key code whose scan code goes into a WM_CHAR for `character`: the OEM punctuation keys
/// for : ; + , - . / ? ` ~, the upper-case code for a lower-case ASCII letter, else the character.
std::uint32_t virtualKeyForCharacter(std::uint32_t character);

/// The messages posted for one key: one for Down, Up and Character, two for Press. `scanCodeOf` maps
/// a virtual-key code to its scan code (MapVirtualKey on Windows).
std::vector<KeyMessage> keyMessagesFor(std::uint32_t code, KeyKind kind, bool systemKey,
                                       const std::function<std::uint32_t(std::uint32_t)>& scanCodeOf);

} // namespace platform
