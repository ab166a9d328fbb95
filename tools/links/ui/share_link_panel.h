#pragma once

#include <QWidget>

class ShareLinkPanel : public QWidget {
    Q_OBJECT
public:
    explicit ShareLinkPanel(QWidget* pageBox, QWidget* mainWindow);
};
