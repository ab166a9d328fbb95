#include "app/cli/command_line.h"

#include <ostream>

namespace cli {
namespace {

constexpr const char* kVersion = "0.1.0";

constexpr const char* kUsage = R"(用法：varrow-toolbox [子命令 [参数…]]

不带参数时启动图形界面。子命令不打开任何窗口，也不需要显示器：
  qr           把一段文字生成二维码图片（BMP）
  channel-qr   生成商品的十个淘系渠道二维码图片
  links        从商品ID文件生成商品链接并导出为 .xlsx 工作簿

  varrow-toolbox <子命令> --help   查看子命令的用法
  varrow-toolbox --version          显示版本

退出码：0 成功，1 失败，2 用法错误。
)";

} // namespace

void reportError(Console& console, const std::string& command, const std::string& message) {
    console.err << "varrow-toolbox";
    if (!command.empty())
        console.err << ' ' << command;
    console.err << ": " << message << '\n';
}

std::expected<ParsedOptions, int> parseCommand(const std::vector<std::string>& arguments,
                                               const std::vector<OptionSpec>& options,
                                               const std::string& command, const char* help,
                                               Console& console) {
    auto parsed = parseOptions(arguments, options);
    if (!parsed) {
        reportError(console, command, parsed.error());
        return std::unexpected(kUsageError);
    }
    if (parsed->has("help")) {
        console.out << help;
        return std::unexpected(kSuccess);
    }
    return std::move(*parsed);
}

int run(const std::vector<std::string>& words, Console& console) {
    if (words.empty() || words[0] == "--help" || words[0] == "-h" || words[0] == "help") {
        console.out << kUsage;
        return kSuccess;
    }
    if (words[0] == "--version" || words[0] == "-V") {
        console.out << "varrow-toolbox " << kVersion << '\n';
        return kSuccess;
    }
    const std::vector<std::string> arguments(words.begin() + 1, words.end());
    if (words[0] == "qr")
        return runQr(arguments, console);
    if (words[0] == "channel-qr")
        return runChannelQr(arguments, console);
    if (words[0] == "links")
        return runLinks(arguments, console);
    reportError(console, "", "未知子命令 " + words[0] + "（varrow-toolbox --help 查看用法）");
    return kUsageError;
}

} // namespace cli
