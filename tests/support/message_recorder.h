#pragma once

#include "app/support/message_box.h"

#include <QString>

#include <vector>

/// Records the message boxes shown while it lives, instead of opening them.
class MessageRecorder {
public:
    MessageRecorder() {
        m_previous =
            ui::setMessageHandler([this](const ui::Message& message) { m_messages.push_back(message); });
    }
    ~MessageRecorder() { ui::setMessageHandler(std::move(m_previous)); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const std::vector<ui::Message>& messages() const { return m_messages; }
    bool empty() const { return m_messages.empty(); }
    const ui::Message& last() const { return m_messages.back(); }
    void clear() { m_messages.clear(); }

private:
    std::vector<ui::Message> m_messages;
    ui::MessageHandler m_previous;
};
