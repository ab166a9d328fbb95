#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace qr::detail {

/// An error-correction level: its position in L, M, Q, H (1-4) and its two format-information bits.
struct EcLevel {
    int ordinal = 0;
    int formatBits = 0;
    std::string_view name;

    constexpr bool operator==(const EcLevel&) const = default;
};

inline constexpr EcLevel kLevelL{1, 1, "L"};
inline constexpr EcLevel kLevelM{2, 0, "M"};
inline constexpr EcLevel kLevelQ{3, 3, "Q"};
inline constexpr EcLevel kLevelH{4, 2, "H"};

/// The four levels in the order L, M, Q, H (position ordinal - 1).
inline constexpr std::array<EcLevel, 4> kLevels{kLevelL, kLevelM, kLevelQ, kLevelH};

static_assert(kLevels[0].ordinal == 1 && kLevels[3].ordinal == 4);

/// The level named by an upper-case letter, compared with L, M, Q, H in that order.
constexpr std::optional<EcLevel> levelByName(std::string_view upperName) {
    for (const EcLevel& level : kLevels) {
        if (level.name == upperName)
            return level;
    }
    return std::nullopt;
}

} // namespace qr::detail
