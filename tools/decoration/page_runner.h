#pragma once

// The decoration run: find the browser window, then play the step list once per page.

#include "platform/window_input.h"
#include "tools/decoration/run_settings.h"
#include "tools/decoration/step_script.h"

#include <chrono>
#include <functional>

namespace decoration {

using StopCheck = std::function<bool()>;

/// Waits that a stop request cuts short; tests replace it so they never sleep.
class Pause {
public:
    virtual ~Pause() = default;
    /// Waits `duration` unless `stopRequested` turns true first; false when it did.
    virtual bool wait(std::chrono::milliseconds duration, const StopCheck& stopRequested) = 0;
};

/// Sleeps in short slices and asks between them whether to stop, so F8 is obeyed within a slice even
/// during a generation delay of many seconds.
class SlicedPause final : public Pause {
public:
    explicit SlicedPause(std::chrono::milliseconds slice = std::chrono::milliseconds(20)) : m_slice(slice) {}
    bool wait(std::chrono::milliseconds duration, const StopCheck& stopRequested) override;

private:
    std::chrono::milliseconds m_slice;
};

enum class RunEnd {
    Finished,     ///< every page done
    Stopped,      ///< a stop request came between two actions
    NoWindow,     ///< no browser window shows the decoration page
    WindowClosed, ///< the browser window went away during the run
};

struct RunReport {
    RunEnd end = RunEnd::Finished;
    int pagesDone = 0; ///< pages whose steps all ran
    friend bool operator==(const RunReport&, const RunReport&) = default;
};

struct RunHooks {
    StopCheck stopRequested = [] { return false; };
    std::function<void(int page, int pages)> pageStarted = [](int, int) {};
};

/// Finds the target window and plays `steps` on it `settings.pages` times. After each key or click
/// the action delay runs (not after the run's last step); a generate step waits the generation delay.
/// A stop request is looked at before every step and during every wait.
RunReport runDecoration(platform::WindowInput& input, const StepList& steps, const RunSettings& settings,
                        Pause& pause, const RunHooks& hooks);

} // namespace decoration
