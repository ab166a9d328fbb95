#pragma once

#include <filesystem>

namespace platform {

/// The directory that holds the program, where its output files go. The environment variable
/// VARROW_RUN_DIR overrides it (tests and portable set-ups point it elsewhere).
std::filesystem::path runDirectory();

} // namespace platform
