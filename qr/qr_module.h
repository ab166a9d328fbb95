#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qr {

/// A fault the module found, as it is reported to the user under kErrorTitle.
struct ErrorReport {
    std::string className;
    std::string methodName;
    std::string message;
};

inline constexpr std::string_view kErrorTitle = "程序运行异常提示";

/// The text a message box shows for a report (class name, method name and message on their own lines).
std::string describe(const ErrorReport& report);

/// Either the BMP file bytes or the report that stopped the call.
struct QrImage {
    std::vector<std::uint8_t> bmp;
    std::optional<ErrorReport> error;
    explicit operator bool() const { return !error; }
};

/// One-time initialisation of the module's tables (start-up calls it; safe to call again, thread-safe).
void initModule();

/// Text to a 24-bit BMP of its QR symbol. level: "L","M","Q","H" in either case, nullopt means L;
/// width/height <= 0 mean 100; colours are 0x00BBGGRR. Thread-safe: calls take turns on the module's shared
/// state.
QrImage CreateQrCode(std::string_view text, std::optional<std::string_view> level, int width, int height,
                     std::int32_t background, std::int32_t foreground);

} // namespace qr
