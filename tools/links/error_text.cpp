#include "tools/links/error_text.h"

#include <cerrno>
#include <cstring>

namespace links {
namespace {

std::string describeSystemError(int error) {
    switch (error) {
    case 0:
        return {};
    case ENOENT:
        return "文件或文件夹不存在";
    case EACCES:
    case EPERM:
        return "没有访问权限";
    case EROFS:
        return "所在位置是只读的";
    case ENOSPC:
    case EDQUOT:
        return "磁盘空间不足";
    case EFBIG:
        return "文件超过了系统允许的大小";
    case EISDIR:
        return "选中的是文件夹";
    case EIO:
        return "磁盘读写出错";
    default:
        return "系统错误 " + std::to_string(error) + "：" + std::strerror(error);
    }
}

std::string withReason(const std::string& text, int error) {
    const std::string reason = describeSystemError(error);
    return reason.empty() ? text + "。" : text + "（" + reason + "）。";
}

} // namespace

std::string importErrorText(const ImportError& error, const std::string& path) {
    switch (error.failure) {
    case ImportFailure::CannotOpen:
        return withReason("无法打开文件“" + path + "”", error.systemError);
    case ImportFailure::CannotRead:
        return withReason("读取文件“" + path + "”时出错", error.systemError);
    case ImportFailure::TooLarge:
        return "文件“" + path + "”太大，不像商品ID列表：最多可导入" + std::to_string(kMaxIdRows) + "行、" +
               std::to_string(kMaxIdTextBytes >> 20) + "MB文本。";
    case ImportFailure::Cancelled:
        break;
    }
    return {};
}

std::string exportErrorText(const ExportError& error, const std::filesystem::path& target) {
    const std::string file = target.string();
    const std::string directory = target.parent_path().empty() ? "." : target.parent_path().string();
    switch (error.failure) {
    case ExportFailure::TooManyRows:
        return "导出失败：列表共有" + std::to_string(error.row) + "行，超过了工作表的上限" +
               std::to_string(kMaxWorkbookRows) + "行（另有一行标题）。";
    case ExportFailure::CannotCreate:
        return withReason("导出失败：无法在文件夹“" + directory + "”中创建文件", error.systemError);
    case ExportFailure::CellTooLong:
        return "导出失败：第" + std::to_string(error.row) + "行的内容超过了单元格的上限32767个字符。";
    case ExportFailure::WriteFailed: {
        std::string text = withReason("导出失败：写入工作簿“" + file + "”时出错", error.systemError);
        if (error.systemError == 0 && !error.detail.empty())
            text += "\n" + error.detail;
        return text;
    }
    case ExportFailure::CannotReplace:
        return withReason("导出失败：无法替换文件“" + file + "”", error.systemError);
    case ExportFailure::Cancelled:
        break;
    }
    return {};
}

} // namespace links
