#include "qr/qr_module.h"

#include "qr/detail/bitmap.h"
#include "qr/detail/ec_level.h"
#include "qr/detail/gf256.h"
#include "qr/detail/module_state.h"
#include "qr/detail/qr_encoder.h"
#include "qr/detail/reed_solomon_encoder.h"
#include "qr/detail/result.h"

#include <mutex>
#include <new>
#include <string>

namespace qr {

using namespace detail;

std::string describe(const ErrorReport& report) {
    return "异常来源：[" + report.className + "]\n方法名称：" + report.methodName + "()\n异常信息：" +
           report.message;
}

namespace detail {

ModuleState& moduleState() {
    static ModuleState state;
    return state;
}

QrCode sharedCodeSnapshot() {
    ModuleState& state = moduleState();
    const std::lock_guard lock(state.mutex);
    return state.sharedCode;
}

namespace {

constexpr int kDefaultSide = 100;
// Larger pictures are refused: a 24-bit picture of 8192 x 8192 pixels is already 192 MiB.
constexpr int kLargestSide = 8192;

// The text without ASCII spaces and ideographic spaces (U+3000, UTF-8 E3 80 80) is empty.
bool onlySpaces(std::string_view text) {
    std::size_t index = 0;
    while (index < text.size()) {
        if (text[index] == ' ') {
            ++index;
        } else if (text.substr(index, 3) == "\xE3\x80\x80") {
            index += 3;
        } else {
            return false;
        }
    }
    return true;
}

Result<EcLevel> parseLevel(std::optional<std::string_view> level) {
    if (!level)
        return kLevelL;
    std::string upper(*level);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    if (const auto found = levelByName(upper))
        return *found;
    return makeReport(moduleName, "创建二维码", "容错等级必须为L、M、Q、H四个之一。");
}

Result<ByteMatrix> EncodeToMatrix(std::string_view text, const EcLevel& level, int width, int height,
                                  QrCode& code) {
    const QrEncoder encoder;
    QR_TRY(encoder.encode(text, level, code));
    return ScaleToPixels(code, width, height);
}

} // namespace
} // namespace detail

void initModule() {
    static std::once_flag once;
    std::call_once(once, [] {
        qrField();
        sharedReedSolomonEncoder();
        ModuleState& state = moduleState();
        const std::lock_guard lock(state.mutex);
        state.sharedCode.resetNumbers();
    });
}

QrImage CreateQrCode(std::string_view text, std::optional<std::string_view> level, int width, int height,
                     std::int32_t background, std::int32_t foreground) {
    initModule();
    QrImage image;
    const auto fail = [&image](ErrorReport report) {
        image.error = std::move(report);
        return image;
    };
    if (onlySpaces(text))
        return fail(makeReport(moduleName, "编码", "没有编码内容"));
    const Result<EcLevel> chosenLevel = parseLevel(level);
    if (!chosenLevel.ok())
        return fail(chosenLevel.error());
    if (width <= 0)
        width = kDefaultSide;
    if (height <= 0)
        height = kDefaultSide;
    if (width > kLargestSide || height > kLargestSide) {
        return fail(makeReport(moduleName, "创建二维码", "图片宽度和高度不能超过8192像素。"));
    }

    ModuleState& state = moduleState();
    const std::lock_guard lock(state.mutex);
    // The symbol is made in a record of its own and replaces the shared one only when the whole call
    // succeeded, so a failed call leaves the module exactly as the last good one did.
    QrCode code;
    try {
        Result<ByteMatrix> pixels = EncodeToMatrix(text, chosenLevel.value(), width, height, code);
        if (!pixels.ok())
            return fail(pixels.error());
        image.bmp = MatrixToBitmap(pixels.value(), background, foreground);
    } catch (const std::bad_alloc&) {
        // A large picture on a machine short of memory: a report like any other, nothing half-changed.
        return fail(makeReport(moduleName, "创建二维码", "内存不足，无法生成图片。"));
    }
    state.backgroundColour = background;
    state.foregroundColour = foreground;
    state.sharedCode = std::move(code);
    return image;
}

} // namespace qr
