#pragma once

#include <QWidget>

class LinksPanel : public QWidget {
    Q_OBJECT
public:
    explicit LinksPanel(QWidget* page);
};
