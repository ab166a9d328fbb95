#include "app/support/message_box.h"

#include <QMessageBox>

namespace ui {
namespace {

MessageHandler& installedHandler() {
    static MessageHandler handler;
    return handler;
}

QMessageBox::Icon toQtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void showMessage(QWidget* parent, const QString& text, const QString& caption, MessageIcon icon) {
    const Message message{text, caption.isEmpty() ? QStringLiteral("信息：") : caption, icon};
    if (const MessageHandler& handler = installedHandler()) {
        handler(message);
        return;
    }
    QMessageBox box(toQtIcon(message.icon), message.caption, message.text, QMessageBox::Ok, parent);
    // The main window stays on top; its boxes must not hide behind it.
    box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    box.exec();
}

MessageHandler setMessageHandler(MessageHandler handler) {
    MessageHandler previous = std::move(installedHandler());
    installedHandler() = std::move(handler);
    return previous;
}

} // namespace ui
