#include "tools/links/ui/links_panel.h"

LinksPanel::LinksPanel(QWidget* page) : QWidget(page) {
    setGeometry(0, 0, 1113, 610);
}
