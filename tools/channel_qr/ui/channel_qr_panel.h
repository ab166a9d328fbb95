#pragma once

#include <QWidget>

class ChannelQrPanel : public QWidget {
    Q_OBJECT
public:
    explicit ChannelQrPanel(QWidget* pageBox);
};
