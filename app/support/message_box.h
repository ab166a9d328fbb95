#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace ui {

/// Icon values of the message boxes, as the tools name them.
enum class MessageIcon { None = 0, Error = 16, Warning = 48, Information = 64 };

struct Message {
    QString text;
    QString caption;
    MessageIcon icon = MessageIcon::None;
};

/// Shows a modal message box; an empty caption becomes "信息：".
void showMessage(QWidget* parent, const QString& text, const QString& caption = {},
                 MessageIcon icon = MessageIcon::None);

using MessageHandler = std::function<void(const Message&)>;

/// Replaces how messages are shown (tests record them instead of opening a modal box).
/// Returns the previous handler; an empty handler restores the modal box.
MessageHandler setMessageHandler(MessageHandler handler);

} // namespace ui
