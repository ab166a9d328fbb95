#include "app/cli/progress.h"

#include <ostream>

namespace cli {

void ProgressLine::update(std::uint64_t done, std::uint64_t total) {
    if (!m_enabled || total == 0)
        return;
    const int percent = static_cast<int>(done >= total ? 100 : done * 100 / total);
    if (percent == m_shownPercent)
        return;
    m_shownPercent = percent;
    m_err << '\r' << m_label << ' ' << percent << '%' << std::flush;
}

ProgressLine::~ProgressLine() {
    if (m_enabled && m_shownPercent >= 0)
        m_err << '\n' << std::flush;
}

} // namespace cli
