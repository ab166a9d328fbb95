#include "app/cli/command_line.h"
#include "app/cli/progress.h"
#include "tools/channel_qr/channel_pictures.h"
#include "tools/links/error_text.h"
#include "tools/links/id_import.h"

#include <ostream>

namespace cli {
namespace {

constexpr const char* kCommand = "channel-qr";

constexpr const char* kHelp = R"(用法：varrow-toolbox channel-qr [-o 目录] [-i 商品ID文件] 商品ID…

为每个商品ID生成十个淘系渠道二维码，图片与界面里“保存二维码到本地”保存的完全相同。
只有一个ID时图片直接写入“目录”；有多个ID时写入“目录/商品ID/”。
  -o, --output 目录        输出目录（默认当前目录下的“生成的渠道码”）
  -i, --input 商品ID文件   从文件读取商品ID（每行一个，规则与导入商品ID相同；空行跳过）
  -h, --help               显示本说明
)";

const std::vector<OptionSpec> kOptions{{'o', "output", true}, {'i', "input", true}, {'h', "help", false}};

} // namespace

int runChannelQr(const std::vector<std::string>& arguments, Console& console) {
    const auto options = parseCommand(arguments, kOptions, kCommand, kHelp, console);
    if (!options)
        return options.error();

    std::vector<std::string> ids;
    for (const std::string& word : options->positional)
        ids.push_back(channel_qr::productIdFrom(word));
    if (const auto input = options->value("input")) {
        const auto imported = links::importIdFile(*input);
        if (!imported) {
            reportError(console, kCommand, links::importErrorText(imported.error(), *input));
            return kFailure;
        }
        imported->forEach([&](std::string_view id) { ids.push_back(channel_qr::productIdFrom(id)); });
    }
    std::erase_if(ids, [](const std::string& id) { return id.empty(); });
    if (ids.empty()) {
        reportError(console, kCommand, "商品ID必须要填写（在命令行给出，或用 -i 指定文件）");
        return kUsageError;
    }

    if (ids.size() > 1) {
        // Each ID names its own folder: it must not climb out of the output directory.
        for (const std::string& id : ids)
            if (id == "." || id == ".." || id.find_first_of("/\\") != std::string::npos) {
                reportError(console, kCommand, "商品ID不能用作文件夹名：" + id);
                return kUsageError;
            }
    }

    const std::filesystem::path output =
        options->value("output").value_or(std::string(channel_qr::kOutputDirectoryName));
    ProgressLine progress(console.err, console.showProgress, "生成渠道二维码");
    for (size_t index = 0; index < ids.size(); ++index) {
        const std::string& id = ids[index];
        const auto pictures = channel_qr::generatePictures(id);
        if (!pictures) {
            reportError(console, kCommand, "商品 " + id + "：" + reportOnOneLine(pictures.error().report));
            return kFailure;
        }
        const std::filesystem::path directory = ids.size() == 1 ? output : output / id;
        if (const auto saved = channel_qr::savePicturesInto(directory, *pictures); !saved) {
            reportError(console, kCommand,
                        "无法保存 " + saved.error().path.string() + "：" + saved.error().reason);
            return kFailure;
        }
        progress.update(index + 1, ids.size());
    }
    return kSuccess;
}

} // namespace cli
