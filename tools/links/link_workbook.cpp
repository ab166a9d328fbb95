#include "tools/links/link_workbook.h"

#include "platform/files.h"

#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace links {
namespace {

constexpr std::size_t kRowsBetweenChecks = 4096;

std::unexpected<ExportError> failure(ExportFailure kind, int systemError = 0, std::size_t row = 0,
                                     std::string detail = {}) {
    return std::unexpected(ExportError{kind, systemError, row, std::move(detail)});
}

// Removes the temporary workbook unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(std::filesystem::path path) : m_path(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    const std::filesystem::path& path() const { return m_path; }
    void keep() { m_path.clear(); }

private:
    std::filesystem::path m_path;
};

// Frees a workbook that is abandoned before workbook_close (which frees it itself).
class OpenWorkbook {
public:
    explicit OpenWorkbook(lxw_workbook* workbook) : m_workbook(workbook) {}
    OpenWorkbook(const OpenWorkbook&) = delete;
    OpenWorkbook& operator=(const OpenWorkbook&) = delete;
    ~OpenWorkbook() {
        if (m_workbook)
            lxw_workbook_free(m_workbook);
    }
    lxw_workbook* get() const { return m_workbook; }
    lxw_error close() { return workbook_close(std::exchange(m_workbook, nullptr)); }

private:
    lxw_workbook* m_workbook;
};

// In constant-memory mode the library writes each finished row to a temporary file and does not
// check those writes; a full disk would otherwise surface only as a silently shortened sheet.
std::FILE* rowStream(const lxw_worksheet* sheet) {
    return sheet->optimize_tmpfile ? sheet->optimize_tmpfile : sheet->file;
}

bool rowStreamFailed(const lxw_worksheet* sheet) {
    std::FILE* stream = rowStream(sheet);
    return stream && std::ferror(stream);
}

std::expected<void, ExportError> checkCell(lxw_error result, std::size_t listRow) {
    if (result == LXW_NO_ERROR)
        return {};
    if (result == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED)
        return failure(ExportFailure::CellTooLong, 0, listRow);
    return failure(ExportFailure::WriteFailed, errno, listRow, lxw_strerror(result));
}

std::expected<void, ExportError> syncFile(const std::filesystem::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return failure(ExportFailure::WriteFailed, errno);
    const bool synced = ::fsync(fd) == 0;
    const int error = errno;
    ::close(fd);
    if (!synced)
        return failure(ExportFailure::WriteFailed, error);
    return {};
}

} // namespace

std::expected<void, ExportError> writeLinkWorkbook(const std::filesystem::path& target, const LinkRows& rows,
                                                   const TaskObserver& observer) {
    const std::size_t count = rows.size();
    if (count > kMaxWorkbookRows)
        return failure(ExportFailure::TooManyRows, 0, count);

    // The library opens its output only when saving; claiming the name first reports an unwritable
    // directory at once, with the system's reason.
    TemporaryFile temporary(platform::temporaryPathBeside(target));
    {
        const int fd = ::open(temporary.path().c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            const int error = errno;
            temporary.keep(); // not ours to remove
            return failure(ExportFailure::CannotCreate, error);
        }
        ::close(fd);
    }

    // The library's own scratch files go beside the target too, so they share its disk and its fate.
    std::string scratchDirectory =
        target.has_parent_path() ? target.parent_path().string() : std::string(".");
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = scratchDirectory.data();
    OpenWorkbook workbook(workbook_new_opt(temporary.path().c_str(), &options));
    if (!workbook.get())
        return failure(ExportFailure::WriteFailed, errno);
    errno = 0;
    lxw_worksheet* sheet = workbook_add_worksheet(workbook.get(), "Sheet1");
    if (!sheet)
        return failure(ExportFailure::CannotCreate, errno);

    lxw_format* font = workbook_add_format(workbook.get());
    format_set_font_name(font, "宋体");
    format_set_font_size(font, 11);
    worksheet_set_column(sheet, 0, 0, 22, font);
    worksheet_set_column(sheet, 1, 1, 100, font);

    if (auto written = checkCell(worksheet_write_string(sheet, 0, 0, "商品ID", font), 0); !written)
        return written;
    if (auto written = checkCell(worksheet_write_string(sheet, 0, 1, "商品地址", font), 0); !written)
        return written;

    // The IDs are views into the imported text; the library wants terminated strings, so both values
    // go through buffers that are reused row after row.
    std::string id;
    std::string link;
    std::size_t listRow = 0;
    std::expected<void, ExportError> outcome;
    rows.ids.forEach([&](std::string_view value) {
        if (!outcome)
            return;
        ++listRow;
        id.assign(value);
        link.clear();
        rows.link.appendLink(link, value);
        const auto sheetRow = static_cast<lxw_row_t>(listRow);
        outcome = checkCell(worksheet_write_string(sheet, sheetRow, 0, id.c_str(), font), listRow);
        if (outcome)
            outcome = checkCell(worksheet_write_string(sheet, sheetRow, 1, link.c_str(), font), listRow);
        if (outcome && listRow % kRowsBetweenChecks == 0) {
            if (rowStreamFailed(sheet))
                outcome = failure(ExportFailure::WriteFailed, errno, listRow);
            else if (observer.shouldStop())
                outcome = failure(ExportFailure::Cancelled);
            else
                observer.report(listRow, 2 * static_cast<std::uint64_t>(count));
        }
    });
    if (!outcome)
        return outcome;
    if (std::FILE* stream = rowStream(sheet); stream && (std::fflush(stream) != 0 || std::ferror(stream)))
        return failure(ExportFailure::WriteFailed, errno);
    observer.report(count, 2 * static_cast<std::uint64_t>(count));

    errno = 0;
    if (const lxw_error closed = workbook.close(); closed != LXW_NO_ERROR)
        return failure(ExportFailure::WriteFailed, errno, 0, lxw_strerror(closed));
    if (auto synced = syncFile(temporary.path()); !synced)
        return synced;
    if (::rename(temporary.path().c_str(), target.c_str()) != 0)
        return failure(ExportFailure::CannotReplace, errno);
    temporary.keep();
    observer.report(2 * static_cast<std::uint64_t>(count), 2 * static_cast<std::uint64_t>(count));
    return {};
}

} // namespace links
