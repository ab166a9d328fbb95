#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace cli {

/// A one-line percentage on a terminal, redrawn in place; silent when output is not a terminal.
class ProgressLine {
public:
    ProgressLine(std::ostream& err, bool enabled, std::string label)
        : m_err(err), m_enabled(enabled), m_label(std::move(label)) {}
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void update(std::uint64_t done, std::uint64_t total);

private:
    std::ostream& m_err;
    bool m_enabled;
    std::string m_label;
    int m_shownPercent = -1;
};

} // namespace cli
