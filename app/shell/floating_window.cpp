#include "app/shell/floating_window.h"

#include "app/shell/main_window.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QToolTip>

namespace {
const QString kBalloonText = QStringLiteral("我在这儿噢！双击打开主程序，右键可以退出程序 ");
}

FloatingWindow::FloatingWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("FloatingWindow"));
    setFixedSize(50, 50);

    // The picture box is larger than the window: the window shows the middle of the picture.
    m_picture = new QLabel(this);
    m_picture->setObjectName(QStringLiteral("图片框1"));
    m_picture->setGeometry(-32, -13, 112, 104);
    m_picture->setPixmap(QPixmap(QStringLiteral(":/assets/floating.png"))
                             .scaled(112, 104, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    m_picture->installEventFilter(this);

    m_menu = new QMenu(QStringLiteral("菜单"), this);
    m_menu->addAction(QStringLiteral("打开主界面"), this, &FloatingWindow::openMainWindow);
    m_menu->addAction(QStringLiteral("关闭程序"), this, &FloatingWindow::quitRequested);

    setToolTip(kBalloonText);
    m_picture->setToolTip(kBalloonText);

    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->geometry().width() : 1920;
    move(screenWidth - 1100, 50);

    m_runMainWindow = [this] {
        MainWindow window(this);
        window.exec();
    };
}

void FloatingWindow::showBalloonTip() {
    QToolTip::showText(QPoint(x() + 20, y() - 5), kBalloonText, this);
}

void FloatingWindow::openMainWindow() {
    if (!isVisible())
        return; // already working in the main window: never a second one
    hide();
    m_runMainWindow();
    show();
}

bool FloatingWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_picture) {
        if (event->type() == QEvent::MouseButtonDblClick &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            openMainWindow();
            return true;
        }
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            m_menu->popup(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
