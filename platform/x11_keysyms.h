#pragma once

// How the Windows key codes of a step list become X keysyms. Pure tables, so they are tested without
// a display.

#include <cstdint>

namespace platform::x11 {

/// The keysym of the key that a Windows virtual-key code names (letters give their lower-case
/// keysym, the unshifted level); 0 for a code with no X counterpart.
std::uint32_t keysymForVirtualKey(std::uint32_t virtualKey);

/// The keysym that types `character` (a Unicode scalar value); 0 for control characters other than
/// tab, line feed, carriage return and backspace.
std::uint32_t keysymForCharacter(std::uint32_t character);

} // namespace platform::x11
