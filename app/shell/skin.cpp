#include "app/shell/skin.h"

#include <QApplication>
#include <QFile>

void applySkin(QApplication& application) {
    QFile sheet(QStringLiteral(":/assets/skin.qss"));
    if (!sheet.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    application.setStyleSheet(QString::fromUtf8(sheet.readAll()));
}
