#include "platform/run_directory.h"

#include <cstdlib>
#include <system_error>

namespace platform {

std::filesystem::path runDirectory() {
    if (const char* overridden = std::getenv("VARROW_RUN_DIR"); overridden && *overridden)
        return overridden;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return std::filesystem::current_path(error);
    return program.parent_path();
}

} // namespace platform
