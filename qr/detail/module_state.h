#pragma once

#include "qr/detail/qr_code.h"

#include <cstdint>
#include <mutex>
#include <string_view>

namespace qr::detail {

/// The module's process-wide state. Calls take turns on it under `mutex`; a call that fails leaves it
/// as it was, since results are committed only once the whole picture is made.
struct ModuleState {
    std::mutex mutex;
    std::int32_t backgroundColour = 0;
    std::int32_t foregroundColour = 0;
    QrCode sharedCode; // the last symbol made
};

/// The source of the module entry's own reports.
inline constexpr std::string_view moduleName = "二维码模块";

ModuleState& moduleState();

/// A copy of the last symbol made, read under the module lock.
QrCode sharedCodeSnapshot();

} // namespace qr::detail
