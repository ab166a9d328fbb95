#pragma once

#include "tools/links/link_rows.h"
#include "tools/links/task_observer.h"

#include <cstddef>
#include <expected>
#include <filesystem>
#include <string>
#include <string_view>

namespace links {

/// The workbook's file name in the run directory.
inline constexpr std::string_view kWorkbookFileName = "商品链接.xlsx";
/// A sheet holds 1,048,576 rows; the first is the header.
inline constexpr std::size_t kMaxWorkbookRows = 1'048'575;

enum class ExportFailure {
    TooManyRows,   // more rows than a sheet holds (`row` is the number of rows)
    CannotCreate,  // no file can be made in the target's directory (systemError tells why)
    CellTooLong,   // an ID or link beyond a cell's 32,767 characters (`row` is its list row, from 1)
    WriteFailed,   // writing or saving the workbook failed, e.g. the disk is full
    CannotReplace, // the finished workbook could not take the target's name
    Cancelled,     // the observer asked to stop
};

struct ExportError {
    ExportFailure failure = ExportFailure::WriteFailed;
    int systemError = 0; // errno of the failing call, 0 when none applies
    std::size_t row = 0; // see ExportFailure
    std::string detail;  // the spreadsheet library's own description, when it gave one
};

/// Writes `rows` as a workbook: one sheet "Sheet1", A1 "商品ID", B1 "商品地址", then each row's ID and
/// link, every value as text, in font 宋体 11. The workbook is built in a temporary file beside
/// `target` and renamed over it only once complete, so on any failure `target` keeps its old content
/// and no temporary file is left. Memory stays flat however many rows there are. Progress counts
/// rows written, then as many again for saving.
std::expected<void, ExportError> writeLinkWorkbook(const std::filesystem::path& target, const LinkRows& rows,
                                                   const TaskObserver& observer = {});

} // namespace links
