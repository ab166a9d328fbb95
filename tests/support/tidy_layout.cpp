#include "tidy_layout.h"

#include <QAbstractButton>
#include <QLabel>
#include <QWidget>

#include <gtest/gtest.h>

void expectTidyLayout(QWidget* container) {
    const QList<QWidget*> widgets = container->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* widget : widgets) {
        if (!widget->isVisible())
            continue;
        EXPECT_TRUE(container->rect().contains(widget->geometry())) << widget->objectName().toStdString();
        if (qobject_cast<QLabel*>(widget) || qobject_cast<QAbstractButton*>(widget)) {
            const auto* label = qobject_cast<QLabel*>(widget);
            if (label && label->wordWrap()) {
                EXPECT_GE(widget->height(), label->heightForWidth(widget->width()))
                    << widget->objectName().toStdString();
            } else {
                EXPECT_GE(widget->width(), widget->sizeHint().width()) << widget->objectName().toStdString();
            }
        }
        for (QWidget* other : widgets) {
            if (other != widget && other->isVisible()) {
                EXPECT_FALSE(widget->geometry().intersects(other->geometry()))
                    << widget->objectName().toStdString() << " / " << other->objectName().toStdString();
            }
        }
    }
}
