#include "platform/key_messages.h"

namespace platform {

std::uint32_t keyMessageLParam(std::uint32_t scanCode, bool systemKey, bool keyUp) {
    std::uint32_t lParam = 1u | ((scanCode & 0xFFu) << 16);
    if (systemKey)
        lParam |= 1u << 24;
    if (keyUp)
        lParam |= (1u << 30) | (1u << 31);
    return lParam;
}

std::uint32_t virtualKeyForCharacter(std::uint32_t character) {
    switch (character) {
    case ':':
    case ';':
        return 186; // VK_OEM_1
    case '+':
        return 187; // VK_OEM_PLUS
    case ',':
        return 188;
    case '-':
        return 189;
    case '.':
        return 190;
    case '/':
    case '?':
        return 191; // VK_OEM_2
    case '`':
    case '~':
        return 192; // VK_OEM_3
    default:
        break;
    }
    if (character >= 'a' && character <= 'z')
        return character - 32;
    return character;
}

std::vector<KeyMessage> keyMessagesFor(std::uint32_t code, KeyKind kind, bool systemKey,
                                       const std::function<std::uint32_t(std::uint32_t)>& scanCodeOf) {
    const std::uint32_t down = systemKey ? kWmSysKeyDown : kWmKeyDown;
    const std::uint32_t up = systemKey ? kWmSysKeyUp : kWmKeyUp;
    switch (kind) {
    case KeyKind::Down:
        return {{down, code, keyMessageLParam(scanCodeOf(code), systemKey, false)}};
    case KeyKind::Up:
        return {{up, code, keyMessageLParam(scanCodeOf(code), systemKey, true)}};
    case KeyKind::Press:
        return {{down, code, keyMessageLParam(scanCodeOf(code), systemKey, false)},
                {up, code, keyMessageLParam(scanCodeOf(code), systemKey, true)}};
    case KeyKind::Character:
        return {
            {kWmChar, code, keyMessageLParam(scanCodeOf(virtualKeyForCharacter(code)), systemKey, false)}};
    }
    return {};
}

} // namespace platform
