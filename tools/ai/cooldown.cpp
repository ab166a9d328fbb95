#include "tools/ai/cooldown.h"

#include <utility>

namespace ai {

namespace {

Cooldown::Clock systemClock() {
    return [] { return std::chrono::steady_clock::now(); };
}

} // namespace

Cooldown::Cooldown(Clock clock, std::chrono::seconds length)
    : m_clock(clock ? std::move(clock) : systemClock()), m_length(length) {}

void Cooldown::start() {
    m_end = m_clock() + m_length;
    m_started = true;
}

int Cooldown::secondsLeft() const {
    if (!m_started)
        return 0;
    const auto left = m_end - m_clock();
    if (left <= std::chrono::steady_clock::duration::zero())
        return 0;
    return static_cast<int>(std::chrono::ceil<std::chrono::seconds>(left).count());
}

std::string Cooldown::caption() const {
    std::string text = "生成";
    if (const int left = secondsLeft(); left > 0)
        text += std::to_string(left);
    return text;
}

void Cooldown::setClock(Clock clock) {
    m_clock = clock ? std::move(clock) : systemClock();
}

} // namespace ai
