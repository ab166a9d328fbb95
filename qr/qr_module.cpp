#include "qr/qr_module.h"

namespace qr {

std::string describe(const ErrorReport& report) {
    return report.className + "\n" + report.methodName + "\n" + report.message;
}

void initModule() {}

QrImage CreateQrCode(std::string_view, std::optional<std::string_view>, int, int, std::int32_t,
                     std::int32_t) {
    QrImage image;
    image.error = ErrorReport{"", "", "not yet built"};
    return image;
}

} // namespace qr
