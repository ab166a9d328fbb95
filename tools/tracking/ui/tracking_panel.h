#pragma once

#include <QWidget>

class TrackingPanel : public QWidget {
    Q_OBJECT
public:
    explicit TrackingPanel(QWidget* pageBox);
};
