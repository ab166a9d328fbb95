#pragma once

#include <QDialog>

class QStatusBar;
class QTabWidget;
class DecorationPanel;

/// The working window: six tool pages in one tab control. Every opening starts from the designed contents.
class MainWindow : public QDialog {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    QTabWidget* tabs() const { return m_tabs; }

    /// The window size that selecting page `index` sets; an empty size for an unknown page.
    static QSize sizeForPage(int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    void onPageChanged(int index);

    QTabWidget* m_tabs = nullptr;
    QStatusBar* m_statusBar = nullptr;
    DecorationPanel* m_decoration = nullptr;
};
