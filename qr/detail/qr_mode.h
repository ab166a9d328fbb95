#pragma once

#include <array>
#include <string_view>

namespace qr::detail {

/// A data mode: its 4-bit indicator and the width of the character-count field per version range.
struct QrMode {
    std::array<int, 3> countBitsTable{};
    int indicator = 0;
    std::string_view name;

    /// Count-field width for a version: first entry for 1-9, second for 10-26, third for 27-40.
    constexpr int countBits(int version) const {
        if (version <= 9)
            return countBitsTable[0];
        if (version <= 26)
            return countBitsTable[1];
        return countBitsTable[2];
    }
    /// Modes are told apart by name, as the encoder compares them.
    constexpr bool sameAs(const QrMode& other) const { return name == other.name; }
};

inline constexpr QrMode kNumericMode{{10, 12, 14}, 1, "数字"};
inline constexpr QrMode kAlphanumericMode{{9, 11, 13}, 2, "字母数字"};
inline constexpr QrMode kByteMode{{8, 16, 16}, 4, "字节"};

/// The mode with the given indicator (1, 2 or 4); any other value gives an empty mode.
constexpr QrMode modeForIndicator(int indicator) {
    switch (indicator) {
    case 1:
        return kNumericMode;
    case 2:
        return kAlphanumericMode;
    case 4:
        return kByteMode;
    default:
        return QrMode{};
    }
}

} // namespace qr::detail
