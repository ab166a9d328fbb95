#include "platform/file_descriptor.h"
#include "platform/files.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
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
    static std::atomic<unsigned> counter{0};
    std::filesystem::path temporary = path;
    temporary += ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    return temporary;
}

std::expected<void, std::string> writeFileAtomically(const std::filesystem::path& path,
                                                     std::string_view bytes) {
    const std::filesystem::path temporary = temporaryPathBeside(path);
    FileDescriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
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
    if (::rename(temporary.c_str(), path.c_str()) != 0)
        return fail("cannot replace " + path.string() + " with");
    return {};
}

} // namespace platform
