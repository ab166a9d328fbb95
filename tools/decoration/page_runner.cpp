#include "tools/decoration/page_runner.h"

#include <algorithm>
#include <thread>

namespace decoration {
namespace {

void perform(platform::WindowInput& input, platform::WindowId window, const Step& step) {
    switch (step.kind) {
    case Step::Kind::KeyDown:
        input.postKey(window, step.keyCode, platform::KeyKind::Down, step.systemKey);
        break;
    case Step::Kind::KeyUp:
        input.postKey(window, step.keyCode, platform::KeyKind::Up, step.systemKey);
        break;
    case Step::Kind::KeyPress:
        input.postKey(window, step.keyCode, platform::KeyKind::Press, step.systemKey);
        break;
    case Step::Kind::Characters:
        for (const char32_t character : step.text)
            input.postKey(window, static_cast<std::uint32_t>(character), platform::KeyKind::Character, false);
        break;
    case Step::Kind::ClickInWindow:
        input.clickInWindow(window, step.x, step.y, step.button);
        break;
    case Step::Kind::ClickOnScreen:
        input.clickOnScreen(step.x, step.y);
        break;
    case Step::Kind::Wait:
    case Step::Kind::WaitGeneration:
        break;
    }
}

} // namespace

bool SlicedPause::wait(std::chrono::milliseconds duration, const StopCheck& stopRequested) {
    const auto deadline = std::chrono::steady_clock::now() + duration;
    while (!stopRequested()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline)
            return true;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(m_slice, deadline - now));
    }
    return false;
}

RunReport runDecoration(platform::WindowInput& input, const StepList& steps, const RunSettings& settings,
                        Pause& pause, const RunHooks& hooks) {
    const platform::WindowId window = input.findTargetWindow();
    if (window == 0)
        return {RunEnd::NoWindow, 0};
    const auto lastAction = std::ranges::find_if(steps.rbegin(), steps.rend(), &Step::isAction);
    for (int page = 1; page <= settings.pages; ++page) {
        hooks.pageStarted(page, settings.pages);
        for (auto step = steps.begin(); step != steps.end(); ++step) {
            if (hooks.stopRequested())
                return {RunEnd::Stopped, page - 1};
            if (step->kind == Step::Kind::Wait || step->kind == Step::Kind::WaitGeneration) {
                const int milliseconds =
                    step->kind == Step::Kind::Wait ? step->milliseconds : settings.generationDelayMs;
                if (!pause.wait(std::chrono::milliseconds(milliseconds), hooks.stopRequested))
                    return {RunEnd::Stopped, page - 1};
                continue;
            }
            // Clicks on the screen must not go on once the browser is gone.
            if (!input.windowExists(window))
                return {RunEnd::WindowClosed, page - 1};
            perform(input, window, *step);
            const bool lastOfRun = page == settings.pages && step == std::prev(lastAction.base());
            if (!lastOfRun &&
                !pause.wait(std::chrono::milliseconds(settings.actionDelayMs), hooks.stopRequested))
                return {RunEnd::Stopped, std::next(step) == steps.end() ? page : page - 1};
        }
    }
    return {RunEnd::Finished, settings.pages};
}

} // namespace decoration
