#pragma once

#include <expected>
#include <filesystem>
#include <string>
#include <string_view>

namespace platform {

/// Reads a whole file; the error is a short description of what failed.
std::expected<std::string, std::string> readWholeFile(const std::filesystem::path& path);

/// Writes `bytes` to a temporary file beside `path` and renames it over `path`, so `path` holds either
/// its old content or all of the new one, never a part.
std::expected<void, std::string> writeFileAtomically(const std::filesystem::path& path,
                                                     std::string_view bytes);

/// A fresh temporary path beside `path` (same directory, so a rename over `path` is atomic), with a
/// random suffix.
std::filesystem::path temporaryPathBeside(const std::filesystem::path& path);

/// The first half of writeFileAtomically, for replacing several files together: writes `bytes` into a
/// new temporary file beside `path`, flushed to disk, and returns its name.
std::expected<std::filesystem::path, std::string> writeTemporaryBeside(const std::filesystem::path& path,
                                                                       std::string_view bytes);

/// The second half: renames a finished temporary over `path`; on failure the temporary is removed.
std::expected<void, std::string> putInPlace(const std::filesystem::path& temporary,
                                            const std::filesystem::path& path);

} // namespace platform
