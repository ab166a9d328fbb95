#pragma once

// A plain X11 top-level window dressed as the browser (class and title as the decoration tool looks
// for them) that records the key events and mouse buttons it receives. Its own connection and a small
// thread keep recording while the test thread waits.

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct _XDisplay;

class FakeTargetWindow {
public:
    struct Options {
        std::string title = "旺铺-商品装修 - Google Chrome";
        std::string windowClass = "Chrome_WidgetWin_1";
        bool titleInNetWmName = true; ///< else only in WM_NAME
        int x = 100;
        int y = 100;
        int width = 400;
        int height = 300;
    };

    struct KeyEvent {
        bool press = false;
        unsigned int keycode = 0;
        unsigned int state = 0;
        bool synthetic = false; ///< sent with XSendEvent rather than typed
    };

    struct ButtonEvent {
        bool press = false;
        unsigned int button = 0;
        int x = 0; ///< in the window
        int y = 0;
    };

    explicit FakeTargetWindow(Options options);
    FakeTargetWindow() : FakeTargetWindow(Options{}) {}
    ~FakeTargetWindow();
    FakeTargetWindow(const FakeTargetWindow&) = delete;
    FakeTargetWindow& operator=(const FakeTargetWindow&) = delete;

    unsigned long id() const { return m_window; }
    /// Puts the window on top of its siblings and waits until the server has done it.
    void raise();

    std::vector<KeyEvent> keys() const;
    std::vector<ButtonEvent> buttons() const;
    void clearRecords();

    /// Waits until `done` holds (checked against the records), at most `timeout`.
    bool waitFor(const std::function<bool(const FakeTargetWindow&)>& done,
                 std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

private:
    void pump();

    _XDisplay* m_display = nullptr;
    unsigned long m_window = 0;
    mutable std::mutex m_mutex;
    std::vector<KeyEvent> m_keys;
    std::vector<ButtonEvent> m_buttons;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
