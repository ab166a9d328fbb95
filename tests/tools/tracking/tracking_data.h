#pragma once

#include "platform/files.h"

#include <string>

// The canned answers of the tracking services, in their own encodings.
inline std::string trackingFixture(const std::string& name) {
    return platform::readWholeFile(std::string(VARROW_TRACKING_DATA) + "/" + name).value_or(std::string());
}

// What the fixtures' events look like in the result box.
inline const std::string kInterface1Events = "2025-01-03 10:00:00已签收，签收人：本人\n\n"
                                             "2024-12-31 08:00:00快件已到达【上海转运中心】\n\n"
                                             "2023-12-30 20:15:00已揽收 http://t.cn/x\n\n";
inline const std::string kInterface2Events = "2025-01-03 10:00:00    已签收，签收人：本人\n\n\n"
                                             "2024-12-31 08:00:00    快件已到达【上海转运中心】\n\n\n"
                                             "2023-12-30 20:15:00    已揽收\n\n\n";
