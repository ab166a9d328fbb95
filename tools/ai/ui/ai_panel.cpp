#include "tools/ai/ui/ai_panel.h"

AiPanel::AiPanel(QWidget* pageBox, QWidget* mainWindow) : QGroupBox(pageBox) {
    Q_UNUSED(mainWindow);
    setObjectName(QStringLiteral("分组框13"));
    setTitle(QStringLiteral("AI助手（免费接口，限制20-30秒左右生成一次）"));
    setGeometry(706, 10, 384, 580);
}
