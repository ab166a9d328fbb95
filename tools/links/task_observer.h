#pragma once

#include <cstdint>
#include <functional>

namespace links {

/// What a long core operation reports to its caller and asks it, so a window, a command line and a
/// test can each drive the same function. Both members may be empty.
struct TaskObserver {
    /// Called now and then with the work done so far and the whole work, in units the operation names.
    std::function<void(std::uint64_t done, std::uint64_t total)> progress;
    /// Asked now and then; once it returns true the operation stops, undoes its partial output and
    /// returns its "cancelled" error.
    std::function<bool()> stopRequested;

    void report(std::uint64_t done, std::uint64_t total) const {
        if (progress)
            progress(done, total);
    }
    bool shouldStop() const { return stopRequested && stopRequested(); }
};

} // namespace links
