#pragma once

#include <chrono>
#include <functional>
#include <string>

namespace ai {

/// The pause a generator takes after each click. It asks a clock rather than counting timer ticks, so a
/// late or skipped tick never stretches the pause and tests can move time forward without sleeping.
class Cooldown {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr std::chrono::seconds kDefaultLength{20};

    explicit Cooldown(Clock clock = {}, std::chrono::seconds length = kDefaultLength);

    void start();
    /// Whole seconds left, rounded up; 0 once the pause is over (or was never started).
    int secondsLeft() const;
    bool active() const { return secondsLeft() > 0; }
    /// The button caption: "生成" while idle, "生成" and the seconds left while cooling down (UTF-8).
    std::string caption() const;

    void setClock(Clock clock);

private:
    Clock m_clock;
    std::chrono::seconds m_length;
    std::chrono::steady_clock::time_point m_end{};
    bool m_started = false;
};

} // namespace ai
