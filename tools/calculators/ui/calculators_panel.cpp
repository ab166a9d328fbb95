#include "tools/calculators/ui/calculators_panel.h"

CalculatorsPanel::CalculatorsPanel(QWidget* pageBox) : QWidget(pageBox) {
    setGeometry(0, 0, 701, 598);
}
