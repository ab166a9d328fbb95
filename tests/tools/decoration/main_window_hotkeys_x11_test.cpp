// The shell's page changes and closing, as they reach F7/F8 on a real X server (Xvfb).
#include "app/shell/main_window.h"
#include "panel_test_support.h"

#include <QLabel>
#include <QTabWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(MainWindowHotkeysTest, HeldFromTheDecorationTabUntilTheWindowCloses) {
    auto window = std::make_unique<MainWindow>();
    window->show();
    EXPECT_TRUE(hotkeysFreeForOthers());
    window->tabs()->setCurrentIndex(3);
    EXPECT_FALSE(hotkeysFreeForOthers())
        << window->findChild<QLabel*>(QStringLiteral("标签41"))->text().toStdString();
    window->tabs()->setCurrentIndex(0);
    window->tabs()->setCurrentIndex(3);
    EXPECT_FALSE(hotkeysFreeForOthers());
    window->close();
    EXPECT_TRUE(hotkeysFreeForOthers());
}

} // namespace
