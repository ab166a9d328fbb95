#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

/// A fresh directory under the system's temporary directory, removed with everything in it.
class TemporaryDirectory {
public:
    TemporaryDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "varrow-links-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TemporaryDirectory() {
        if (m_path.empty())
            return;
        // Read-only directories made by a test must become writable again to be removed.
        std::error_code error;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_path, error))
            if (entry.is_directory(error))
                ::chmod(entry.path().c_str(), 0700);
        ::chmod(m_path.c_str(), 0700);
        std::filesystem::remove_all(m_path, error);
    }
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    /// Writes `bytes` to the file `name` in the directory and returns its path.
    std::filesystem::path write(const std::string& name, std::string_view bytes) const {
        const std::filesystem::path file = m_path / name;
        std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

    /// The whole content of `file`.
    static std::string read(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path m_path;
};
