#include "app/cli/command_line.h"
#include "platform/files.h"
#include "qr/qr_module.h"

#include <charconv>
#include <ostream>

namespace cli {
namespace {

constexpr const char* kCommand = "qr";

constexpr const char* kHelp = R"(用法：varrow-toolbox qr [-l L|M|Q|H] [-s 宽x高] -o 文件 文字

把“文字”编码成二维码，写成与渠道二维码工具相同的 BMP 图片。
  -l, --level L|M|Q|H     容错等级（默认 L）
  -s, --size 宽x高         图片尺寸，单位像素（默认 200x200）
  -o, --output 文件        输出的图片文件（必填）
  -h, --help               显示本说明
)";

const std::vector<OptionSpec> kOptions{
    {'l', "level", true}, {'s', "size", true}, {'o', "output", true}, {'h', "help", false}};

bool parsePositive(std::string_view text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value > 0;
}

} // namespace

std::string reportOnOneLine(const qr::ErrorReport& report) {
    std::string line(qr::kErrorTitle);
    line += "：";
    line += report.className;
    line += " / ";
    line += report.methodName;
    if (!report.message.empty()) {
        line += " / ";
        line += report.message;
    }
    return line;
}

int runQr(const std::vector<std::string>& arguments, Console& console) {
    const auto options = parseCommand(arguments, kOptions, kCommand, kHelp, console);
    if (!options)
        return options.error();
    const std::string level = options->value("level").value_or("L");
    if (level.size() != 1 || std::string_view("LMQHlmqh").find(level[0]) == std::string_view::npos) {
        reportError(console, kCommand, "容错等级必须为L、M、Q、H四个之一：" + level);
        return kUsageError;
    }
    int width = 200;
    int height = 200;
    if (const auto size = options->value("size")) {
        const size_t cross = size->find_first_of("xX");
        if (cross == std::string::npos || !parsePositive(std::string_view(*size).substr(0, cross), width) ||
            !parsePositive(std::string_view(*size).substr(cross + 1), height)) {
            reportError(console, kCommand, "图片尺寸应写成 宽x高，例如 200x200：" + *size);
            return kUsageError;
        }
    }
    const auto output = options->value("output");
    if (!output || output->empty()) {
        reportError(console, kCommand, "缺少输出文件（-o 文件）");
        return kUsageError;
    }
    if (options->positional.size() != 1) {
        reportError(console, kCommand, "需要正好一段要编码的文字");
        return kUsageError;
    }

    const qr::QrImage image =
        qr::CreateQrCode(options->positional.front(), level, width, height, 0xFFFFFF, 0x000000);
    if (!image) {
        reportError(console, kCommand, reportOnOneLine(*image.error));
        return kFailure;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(image.bmp.data()), image.bmp.size());
    if (const auto written = platform::writeFileAtomically(*output, bytes); !written) {
        reportError(console, kCommand, "无法写入 " + *output + "：" + written.error());
        return kFailure;
    }
    return kSuccess;
}

} // namespace cli
