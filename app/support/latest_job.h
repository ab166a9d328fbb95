#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

namespace ui {

/// Numbers the jobs of one kind so that only the latest may show its result: starting a job, or
/// dropping them all, leaves every earlier job out of date. The count is shared with the workers, so a
/// job can tell that it was overtaken and stop early instead of running on for nothing.
class LatestJob {
public:
    using Number = std::uint64_t;

    /// Starts a job; every earlier one is out of date from now on.
    Number start() { return m_latest->fetch_add(1) + 1; }
    /// Leaves every job started so far out of date.
    void dropAll() { m_latest->fetch_add(1); }
    /// Whether `job` is still the latest.
    bool isLatest(Number job) const { return m_latest->load() == job; }
    /// For a worker: true once `job` is out of date. Safe to call after this object is gone.
    std::function<bool()> overtaken(Number job) const {
        return [latest = m_latest, job] { return latest->load() != job; };
    }

private:
    std::shared_ptr<std::atomic<Number>> m_latest = std::make_shared<std::atomic<Number>>(0);
};

} // namespace ui
