#pragma once

#include <QGroupBox>

class AiPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit AiPanel(QWidget* pageBox, QWidget* mainWindow);
};
