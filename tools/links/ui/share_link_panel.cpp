#include "tools/links/ui/share_link_panel.h"

ShareLinkPanel::ShareLinkPanel(QWidget* pageBox, QWidget* mainWindow) : QWidget(pageBox) {
    Q_UNUSED(mainWindow);
    setGeometry(pageBox->rect());
}
