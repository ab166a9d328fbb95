#include "tools/tracking/ui/tracking_panel.h"

TrackingPanel::TrackingPanel(QWidget* pageBox) : QWidget(pageBox) {
    setGeometry(pageBox->rect());
}
