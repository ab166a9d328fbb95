#include "platform/x11_keysyms.h"

#include <X11/keysym.h>

#include <gtest/gtest.h>

namespace {

TEST(X11KeysymsTest, VirtualKeys) {
    struct Row {
        const char* name;
        std::uint32_t virtualKey;
        std::uint32_t keysym;
    };
    const Row rows[] = {
        {"VK_BACK", 0x08, XK_BackSpace},
        {"VK_TAB", 0x09, XK_Tab},
        {"VK_RETURN", 0x0D, XK_Return},
        {"VK_ESCAPE", 0x1B, XK_Escape},
        {"VK_SPACE", 0x20, XK_space},
        {"VK_NEXT", 0x22, XK_Next},
        {"VK_LEFT", 0x25, XK_Left},
        {"VK_DOWN", 0x28, XK_Down},
        {"VK_DELETE", 0x2E, XK_Delete},
        {"0", 0x30, XK_0},
        {"9", 0x39, XK_9},
        {"A", 0x41, XK_a},
        {"Z", 0x5A, XK_z},
        {"VK_NUMPAD0", 0x60, XK_KP_0},
        {"VK_NUMPAD3", 0x63, XK_KP_3},
        {"VK_NUMPAD9", 0x69, XK_KP_9},
        {"VK_F1", 0x70, XK_F1},
        {"VK_F7", 0x76, XK_F7},
        {"VK_F12", 0x7B, XK_F12},
        {"VK_F24", 0x87, XK_F24},
        {"VK_CONTROL", 0x11, XK_Control_L},
        {"VK_OEM_1", 0xBA, XK_semicolon},
        {"VK_OEM_2", 0xBF, XK_slash},
        {"VK_OEM_3", 0xC0, XK_grave},
        {"unassigned 0x07", 0x07, 0},
        {"unassigned 0x88", 0x88, 0},
        {"out of range", 0x1234, 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(platform::x11::keysymForVirtualKey(row.virtualKey), row.keysym) << row.name;
}

TEST(X11KeysymsTest, Characters) {
    struct Row {
        const char* name;
        char32_t character;
        std::uint32_t keysym;
    };
    const Row rows[] = {
        {"letter", U'a', XK_a},
        {"capital", U'Q', XK_Q},
        {"colon", U':', XK_colon},
        {"tilde", U'~', XK_asciitilde},
        {"line feed", U'\n', XK_Return},
        {"tab", U'\t', XK_Tab},
        {"latin-1", U'é', XK_eacute},
        {"chinese", U'商', 0x01000000u + U'商'},
        {"other control character", U'\x01', 0},
        {"delete", U'\x7F', 0},
        {"surrogate", char32_t(0xD800), 0},
        {"beyond unicode", char32_t(0x110000), 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(platform::x11::keysymForCharacter(row.character), row.keysym) << row.name;
}

} // namespace
