#include "tools/decoration/ui/decoration_panel.h"

DecorationPanel::DecorationPanel(QWidget* pageBox) : QWidget(pageBox) {
    setGeometry(pageBox->rect());
}

void DecorationPanel::activateHotkeys() {}

void DecorationPanel::releaseHotkeys() {}
