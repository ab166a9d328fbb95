#pragma once

// Stands in for the desktop: records every call as a line of text and plays a window that can vanish.

#include "platform/window_input.h"

#include <string>
#include <vector>

class RecordingWindowInput final : public platform::WindowInput {
public:
    platform::WindowId target = 42;
    int actionsUntilWindowCloses = -1; ///< -1: the window stays
    std::vector<std::string> calls;

    platform::WindowId findTargetWindow() override {
        calls.push_back("find");
        return target;
    }
    bool windowExists(platform::WindowId window) override {
        return window == target && target != 0 && actionsUntilWindowCloses != 0;
    }
    void postKey(platform::WindowId window, std::uint32_t code, platform::KeyKind kind,
                 bool systemKey) override {
        static const char* const kinds[] = {"down", "up", "press", "char"};
        record("key " + std::to_string(window) + " " + kinds[static_cast<int>(kind)] + " " +
               std::to_string(code) + (systemKey ? " alt" : ""));
    }
    void clickInWindow(platform::WindowId window, std::optional<int> x, std::optional<int> y,
                       int kind) override {
        record("click " + std::to_string(window) + " " + std::to_string(x.value_or(-1)) + " " +
               std::to_string(y.value_or(-1)) + " " + std::to_string(kind));
    }
    void clickOnScreen(int x, int y) override {
        record("screenclick " + std::to_string(x) + " " + std::to_string(y));
    }

private:
    void record(std::string call) {
        calls.push_back(std::move(call));
        if (actionsUntilWindowCloses > 0)
            --actionsUntilWindowCloses;
    }
};
