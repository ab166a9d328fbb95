#pragma once

#include <unistd.h>

#include <utility>

namespace platform {

/// Owns an open POSIX file descriptor and closes it when it goes out of scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    /// Gives up ownership, so the caller can close it and see the result.
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

} // namespace platform
