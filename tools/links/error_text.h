#pragma once

#include "tools/links/id_import.h"
#include "tools/links/link_workbook.h"

#include <filesystem>
#include <string>

namespace links {

/// The user's words for a failed import of `path` (empty for a cancelled one). Both the window and the
/// command line show these, so the two always say the same.
std::string importErrorText(const ImportError& error, const std::string& path);

/// The user's words for a failed export to `target` (empty for a cancelled one).
std::string exportErrorText(const ExportError& error, const std::filesystem::path& target);

} // namespace links
