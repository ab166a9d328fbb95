#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QMenu;

/// The small always-on-top start window: double-click opens the main window, right-click offers the menu.
class FloatingWindow : public QWidget {
    Q_OBJECT
public:
    explicit FloatingWindow(QWidget* parent = nullptr);

    /// Hides this window and runs the main window modally; shows this window again when it closes.
    void openMainWindow();

    /// Tests replace how the main window is run (the default runs a MainWindow modally).
    void setMainWindowRunner(std::function<void()> runner) { m_runMainWindow = std::move(runner); }

    QMenu* popupMenu() const { return m_menu; }

    /// Shows the start-up balloon tip once, beside the window.
    void showBalloonTip();

Q_SIGNALS:
    void quitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_picture = nullptr;
    QMenu* m_menu = nullptr;
    std::function<void()> m_runMainWindow;
};
