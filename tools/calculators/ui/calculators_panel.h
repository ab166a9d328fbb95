#pragma once

#include <QWidget>

class CalculatorsPanel : public QWidget {
    Q_OBJECT
public:
    explicit CalculatorsPanel(QWidget* pageBox);
};
