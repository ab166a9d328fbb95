#include "platform/file_descriptor.h"
#include "platform/files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

std::string describeErrno(std::string_view what, const std::filesystem::path& path) {
    return std::string(what) + " " + path.string() + ": " + std::strerror(errno);
}

} // namespace

std::expected<std::string, std::string> readWholeFile(const std::filesystem::path& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return std::unexpected(describeErrno("cannot open", path));
    std::string content;
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got == 0)
            break;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return std::unexpected(describeErrno("cannot read", path));
        }
        content.append(buffer, static_cast<size_t>(got));
    }
    return content;
}

std::filesystem::path temporaryPathBeside(const std::filesystem::path& path) {
    // Random, not pid-based: a temporary left by a killed run (or another process with a reused pid)
    // must not block the next save.
    thread_local std::mt19937_64 generator{std::random_device{}()};
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".tmp-%016llx", static_cast<unsigned long long>(generator()));
    std::filesystem::path temporary = path;
    temporary += suffix;
    return temporary;
}

std::expected<std::filesystem::path, std::string> writeTemporaryBeside(const std::filesystem::path& path,
                                                                       std::string_view bytes) {
    std::filesystem::path temporary;
    int descriptor = -1;
    for (int attempt = 0; attempt < 8 && descriptor < 0; ++attempt) {
        temporary = temporaryPathBeside(path);
        descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (descriptor < 0 && errno != EEXIST)
            break;
    }
    FileDescriptor fd(descriptor);
    if (fd.get() < 0)
        return std::unexpected(describeErrno("cannot create", temporary));
    auto fail = [&](std::string_view what) {
        std::string message = describeErrno(what, temporary);
        ::unlink(temporary.c_str());
        return std::unexpected(std::move(message));
    };
    size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t put = ::write(fd.get(), bytes.data() + written, bytes.size() - written);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return fail("cannot write");
        }
        written += static_cast<size_t>(put);
    }
    if (::fsync(fd.get()) != 0)
        return fail("cannot flush");
    if (::close(fd.release()) != 0)
        return fail("cannot close");
    return temporary;
}

std::expected<void, std::string> putInPlace(const std::filesystem::path& temporary,
                                            const std::filesystem::path& path) {
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        std::string message = describeErrno("cannot replace", path);
        ::unlink(temporary.c_str());
        return std::unexpected(std::move(message));
    }
    return {};
}

std::expected<void, std::string> writeFileAtomically(const std::filesystem::path& path,
                                                     std::string_view bytes) {
    auto temporary = writeTemporaryBeside(path, bytes);
    if (!temporary)
        return std::unexpected(std::move(temporary.error()));
    return putInPlace(*temporary, path);
}

} // namespace platform
