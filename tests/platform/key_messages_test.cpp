#include "platform/key_messages.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace platform {
void PrintTo(const KeyMessage& m, std::ostream* out) {
    *out << std::hex << "{message 0x" << m.message << ", wParam 0x" << m.wParam << ", lParam 0x" << m.lParam
         << "}";
}
} // namespace platform

namespace {

using platform::KeyKind;
using platform::KeyMessage;

// A fixed scan code per key, so every row shows which code's scan code went into lParam.
std::uint32_t fakeScanCode(std::uint32_t virtualKey) {
    return (virtualKey * 7 + 3) & 0x1FF; // deliberately wider than 8 bits: only the low byte may count
}

TEST(KeyMessageLParamTest, BitLayout) {
    struct Row {
        const char* name;
        std::uint32_t scanCode;
        bool systemKey;
        bool keyUp;
        std::uint32_t expected;
    };
    const Row rows[] = {
        {"down", 0x2E, false, false, 0x002E0001},
        {"down with system flag", 0x2E, true, false, 0x012E0001},
        {"up", 0x2E, false, true, 0xC02E0001},
        {"up with system flag", 0x2E, true, true, 0xC12E0001},
        {"scan code zero", 0x00, false, false, 0x00000001},
        {"only the low byte of the scan code", 0x1E3, false, false, 0x00E30001},
        {"scan code 0xFF stays out of bit 24", 0xFF, false, false, 0x00FF0001},
    };
    for (const Row& row : rows)
        EXPECT_EQ(platform::keyMessageLParam(row.scanCode, row.systemKey, row.keyUp), row.expected)
            << row.name;
}

TEST(VirtualKeyForCharacterTest, PunctuationLettersAndTheRest) {
    struct Row {
        char32_t character;
        std::uint32_t virtualKey;
    };
    const Row rows[] = {
        {U':', 186}, {U';', 186}, {U'+', 187}, {U',', 188}, {U'-', 189},    {U'.', 190},
        {U'/', 191}, {U'?', 191}, {U'`', 192}, {U'~', 192}, {U'a', 'A'},    {U'm', 'M'},
        {U'z', 'Z'}, {U'A', 'A'}, {U'Z', 'Z'}, {U'0', '0'}, {U'9', '9'},    {U' ', ' '},
        {U'=', '='}, {U'@', '@'}, {U'{', '{'}, {U'[', '['}, {U'商', U'商'},
    };
    for (const Row& row : rows)
        EXPECT_EQ(platform::virtualKeyForCharacter(row.character), row.virtualKey)
            << "character U+" << std::hex << static_cast<std::uint32_t>(row.character);
}

TEST(KeyMessagesForTest, MessageKindsAndParameters) {
    struct Row {
        const char* name;
        std::uint32_t code;
        KeyKind kind;
        bool systemKey;
        std::vector<KeyMessage> expected;
    };
    // Only the low byte of a scan code fits into bits 16-23.
    const std::uint32_t scan63 = (fakeScanCode(0x63) & 0xFF) << 16;
    const std::uint32_t scanA = (fakeScanCode('A') & 0xFF) << 16;
    const std::uint32_t scanOem1 = (fakeScanCode(186) & 0xFF) << 16;
    const std::uint32_t upBits = 0xC0000000;
    const std::uint32_t systemBit = 0x01000000;
    const Row rows[] = {
        {"key down", 0x63, KeyKind::Down, false, {{0x0100, 0x63, 1 | scan63}}},
        {"system key down", 0x63, KeyKind::Down, true, {{0x0104, 0x63, 1 | scan63 | systemBit}}},
        {"key up", 0x63, KeyKind::Up, false, {{0x0101, 0x63, 1 | scan63 | upBits}}},
        {"system key up", 0x63, KeyKind::Up, true, {{0x0105, 0x63, 1 | scan63 | systemBit | upBits}}},
        {"press is down then up",
         0x63,
         KeyKind::Press,
         false,
         {{0x0100, 0x63, 1 | scan63}, {0x0101, 0x63, 1 | scan63 | upBits}}},
        {"system press",
         0x63,
         KeyKind::Press,
         true,
         {{0x0104, 0x63, 1 | scan63 | systemBit}, {0x0105, 0x63, 1 | scan63 | systemBit | upBits}}},
        {"character: wParam is the character, scan code of its key",
         'a',
         KeyKind::Character,
         false,
         {{0x0102, 'a', 1 | scanA}}},
        {"character colon uses VK_OEM_1", ':', KeyKind::Character, false, {{0x0102, ':', 1 | scanOem1}}},
        {"character with the system flag stays WM_CHAR",
         ';',
         KeyKind::Character,
         true,
         {{0x0102, ';', 1 | scanOem1 | systemBit}}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(platform::keyMessagesFor(row.code, row.kind, row.systemKey, fakeScanCode), row.expected)
            << row.name;
}

TEST(TitleMatchTest, AsciiCaseIgnoredOtherCharactersExact) {
    struct Row {
        const char* title;
        bool matches;
    };
    const Row rows[] = {
        {"旺铺-商品装修 - Google Chrome", true},
        {"批量投放 - 旺铺-商品装修 - Google Chrome", true},
        {"旺铺-商品装修 - google chrome", true},
        {"旺铺-商品装修 - GOOGLE CHROME", true},
        {"旺铺-商品装修 - Google Chrome - 用户1", true},
        {"旺铺-商品装修 - Chromium", false},
        {"旺铺 -商品装修 - Google Chrome", false},
        {"旺铺－商品装修 - Google Chrome", false}, // full-width hyphen is not ASCII
        {"旺铺-商品装修 -  Google Chrome", false},
        {"旺铺-商品装修", false},
        {"", false},
        {"新标签页 - Google Chrome", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(platform::titleMatchesTarget(row.title), row.matches) << row.title;
}

} // namespace
