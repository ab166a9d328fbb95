#pragma once

#include "platform/hotkeys.h"

#include <QString>
#include <QWidget>

#include <atomic>
#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QSocketNotifier;

/// The tab "C店详情编辑": drives the browser's decoration page page by page, started with 按钮10 or
/// F7 and stopped with 按钮11 or F8.
class DecorationPanel : public QWidget {
    Q_OBJECT
public:
    explicit DecorationPanel(QWidget* pageBox);
    ~DecorationPanel() override;

    /// Registers F7 and F8 while the page is current; a second call while they are held does nothing.
    void activateHotkeys();
    /// Stops a running routine (between two actions) and releases F7 and F8 (button 按钮11 and
    /// closing the main window).
    void releaseHotkeys();

    /// True while a routine runs; only one runs at a time.
    bool isRunning() const { return m_running; }

private:
    void start();
    void stop();
    void onHotkey(platform::Hotkey key);
    void setStatus(const QString& text);

    QLineEdit* m_actionDelay = nullptr;
    QLineEdit* m_generationDelay = nullptr;
    QLineEdit* m_pages = nullptr;
    QPushButton* m_startButton = nullptr;
    QLabel* m_status = nullptr;

    std::unique_ptr<platform::GlobalHotkeys> m_hotkeys;
    std::optional<platform::DesktopError> m_hotkeysUnavailable; // no desktop: not tried again
    QSocketNotifier* m_hotkeyNotifier = nullptr;

    bool m_running = false;
    std::shared_ptr<std::atomic<bool>> m_stopRequest;
};
