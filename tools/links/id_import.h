#pragma once

#include "tools/links/link_rows.h"
#include "tools/links/task_observer.h"

#include <cstddef>
#include <cstdint>
#include <expected>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace links {

enum class ImportFailure {
    CannotOpen, // the file could not be opened (systemError tells why)
    CannotRead, // reading failed part-way, or the path is not a readable file
    TooLarge,   // more than kMaxIdTextBytes of text or kMaxIdRows lines: surely not an ID list
    Cancelled,  // the observer asked to stop
};

struct ImportError {
    ImportFailure failure = ImportFailure::CannotRead;
    int systemError = 0; // errno of the failing call, 0 when none applies
};

/// How the bytes of an ID file were taken as text.
enum class IdEncoding { Utf8, Gbk };

/// What one import may hold. Far beyond any catalogue, low enough that a wrongly chosen huge file is
/// refused instead of exhausting memory (each row costs four bytes besides its text).
inline constexpr std::uint64_t kMaxIdTextBytes = std::uint64_t{1} << 30;
inline constexpr std::size_t kMaxIdRows = std::size_t{1} << 26;

/// Rows per block handed to the caller while an import fills a list.
inline constexpr std::size_t kImportBlockRows = 65536;

/// Reads a file's bytes whole; progress counts bytes.
std::expected<std::string, ImportError> readIdFileBytes(const std::filesystem::path& path,
                                                        const TaskObserver& observer = {});

/// Turns the bytes of an ID file into IDs, in file order:
///  - the text ends at the first zero byte;
///  - a UTF-8 byte-order mark is dropped and declares UTF-8 (stray invalid bytes then become U+FFFD);
///    without one, bytes that are valid UTF-8 are read as UTF-8 and anything else as GBK;
///  - a line ends at LF or CR LF; empty lines give empty IDs; a final empty piece is dropped.
/// Progress counts bytes. `encoding`, when given, receives how the bytes were read.
std::expected<std::shared_ptr<const IdText>, ImportError>
parseIdText(std::string bytes, const TaskObserver& observer = {}, IdEncoding* encoding = nullptr);

/// Reads and parses an ID file. Nothing is handed out unless the whole file was read and parsed; then
/// `onBlock` (if set) receives the rows in file order in blocks of `blockRows`, before the function
/// returns them all. The file is scanned chunk by chunk as it is read; progress counts bytes read.
std::expected<IdRows, ImportError> importIdFile(const std::filesystem::path& path,
                                                const TaskObserver& observer = {},
                                                const std::function<void(const IdBlock&)>& onBlock = {},
                                                std::size_t blockRows = kImportBlockRows);

} // namespace links
