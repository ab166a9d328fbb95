#include "app/cli/command_line.h"
#include "app/cli/progress.h"
#include "tools/links/error_text.h"
#include "tools/links/id_import.h"
#include "tools/links/link_workbook.h"
#include "tools/links/marketplace.h"

#include <ostream>

namespace cli {
namespace {

constexpr const char* kCommand = "links";

constexpr const char* kHelp =
    R"(用法：varrow-toolbox links -m douyin|taobao|pinduoduo [-o 输出.xlsx] 商品ID文件

按导入商品ID的规则读取文件（每行一个ID），生成所选平台的商品链接，并按导出商品链接的格式写成工作簿。
  -m, --market douyin|taobao|pinduoduo   生成哪个平台的链接（抖店、淘宝、拼多多；必填）
  -o, --output 输出.xlsx                  工作簿文件（默认当前目录下的“商品链接.xlsx”）
  -h, --help                              显示本说明
)";

const std::vector<OptionSpec> kOptions{{'m', "market", true}, {'o', "output", true}, {'h', "help", false}};

std::optional<links::Marketplace> marketplaceNamed(const std::string& name) {
    if (name == "douyin")
        return links::Marketplace::Douyin;
    if (name == "taobao")
        return links::Marketplace::Taobao;
    if (name == "pinduoduo")
        return links::Marketplace::Pinduoduo;
    return std::nullopt;
}

} // namespace

int runLinks(const std::vector<std::string>& arguments, Console& console) {
    const auto options = parseCommand(arguments, kOptions, kCommand, kHelp, console);
    if (!options)
        return options.error();
    const auto marketName = options->value("market");
    if (!marketName) {
        reportError(console, kCommand, "缺少平台（-m douyin|taobao|pinduoduo）");
        return kUsageError;
    }
    const auto marketplace = marketplaceNamed(*marketName);
    if (!marketplace) {
        reportError(console, kCommand, "平台只能是 douyin、taobao 或 pinduoduo：" + *marketName);
        return kUsageError;
    }
    if (options->positional.size() != 1) {
        reportError(console, kCommand, "需要正好一个商品ID文件");
        return kUsageError;
    }
    const std::filesystem::path idFile = options->positional.front();
    const std::filesystem::path output =
        options->value("output").value_or(std::string(links::kWorkbookFileName));

    links::LinkRows rows;
    rows.link = *links::linkTemplateFor(*marketplace);
    {
        ProgressLine progress(console.err, console.showProgress, "读取商品ID");
        links::TaskObserver observer;
        observer.progress = [&](std::uint64_t done, std::uint64_t total) { progress.update(done, total); };
        auto imported = links::importIdFile(idFile, observer);
        if (!imported) {
            reportError(console, kCommand, links::importErrorText(imported.error(), idFile.string()));
            return kFailure;
        }
        rows.ids = std::move(*imported);
    }
    if (rows.empty()) {
        reportError(console, kCommand, "没有内容：文件 " + idFile.string() + " 中没有商品ID");
        return kFailure;
    }
    ProgressLine progress(console.err, console.showProgress, "导出工作簿");
    links::TaskObserver observer;
    observer.progress = [&](std::uint64_t done, std::uint64_t total) { progress.update(done, total); };
    if (const auto written = links::writeLinkWorkbook(output, rows, observer); !written) {
        reportError(console, kCommand, links::exportErrorText(written.error(), output));
        return kFailure;
    }
    return kSuccess;
}

} // namespace cli
