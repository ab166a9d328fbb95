#include "tools/channel_qr/ui/channel_qr_panel.h"

ChannelQrPanel::ChannelQrPanel(QWidget* pageBox) : QWidget(pageBox) {
    setGeometry(pageBox->rect());
}
