#pragma once

#include <QWidget>

class DecorationPanel : public QWidget {
    Q_OBJECT
public:
    explicit DecorationPanel(QWidget* pageBox);

    /// Registers F7 and F8 while the page is current; a second call while they are held does nothing.
    void activateHotkeys();
    /// Releases F7 and F8 (button 按钮11 and closing the main window).
    void releaseHotkeys();
};
