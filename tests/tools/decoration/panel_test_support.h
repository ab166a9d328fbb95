#pragma once

// Shared by the two panel tests: a run directory of their own and waiting with the event loop running.

#include "platform/hotkeys.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

/// Points VARROW_RUN_DIR at a fresh directory for the test's lifetime.
class ScopedRunDirectory {
public:
    ScopedRunDirectory() {
        m_path = std::filesystem::temp_directory_path() /
                 ("varrow-decoration-" + std::to_string(::getpid()) + "-" +
                  testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
        ::setenv("VARROW_RUN_DIR", m_path.c_str(), 1);
    }
    ~ScopedRunDirectory() {
        ::unsetenv("VARROW_RUN_DIR");
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all);
        std::filesystem::remove_all(m_path);
    }
    ScopedRunDirectory(const ScopedRunDirectory&) = delete;
    ScopedRunDirectory& operator=(const ScopedRunDirectory&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    /// Writes the step file the panel reads.
    void writeSteps(const std::string& text) const {
        std::ofstream(m_path / std::filesystem::path(u8"详情装修步骤.txt"), std::ios::binary) << text;
    }

private:
    std::filesystem::path m_path;
};

/// Runs the event loop until `done` holds or `timeout` passed; true when it holds.
inline bool waitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QTest::qWait(2);
    }
    return true;
}

/// True when a second program could take F7/F8 now (and gives them back at once).
inline bool hotkeysFreeForOthers() {
    auto other = platform::openGlobalHotkeys();
    if (!other)
        return false;
    const bool taken = (*other)->grab().has_value();
    (*other)->release();
    return taken;
}
