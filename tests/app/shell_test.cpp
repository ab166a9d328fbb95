#include "app/shell/floating_window.h"
#include "app/shell/main_window.h"
#include "app/support/background_job.h"
#include "app/support/latest_job.h"
#include "message_recorder.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

TEST(MainWindowTest, TitleTabsAndNames) {
    MainWindow window;
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Varrow电商综合工具箱 V0.1   By：Varrow"));
    EXPECT_TRUE(window.windowFlags() & Qt::WindowStaysOnTopHint);
    QTabWidget* tabs = window.findChild<QTabWidget*>(QStringLiteral("选择夹1"));
    ASSERT_EQ(tabs, window.tabs());
    const QStringList captions{QStringLiteral("折扣计算器"),   QStringLiteral("快递信息查询"),
                               QStringLiteral("商品链接生成"), QStringLiteral("C店详情编辑"),
                               QStringLiteral("直播视频下载"), QStringLiteral("淘系二维码生成")};
    ASSERT_EQ(tabs->count(), captions.size());
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_EQ(tabs->tabText(i), captions[i]);
    EXPECT_NE(window.findChild<QStatusBar*>(QStringLiteral("状态条1")), nullptr);
    for (const char* name : {"分组框4", "分组框13", "分组框1", "分组框2", "分组框11", "分组框3", "分组框14"})
        EXPECT_NE(window.findChild<QGroupBox*>(QString::fromUtf8(name)), nullptr) << name;
}

TEST(MainWindowTest, PageChangesSetTheWindowSize) {
    MainWindow window;
    window.show();
    EXPECT_EQ(window.size(), QSize(720, 657));
    struct Case {
        int page;
        QSize size;
    };
    for (const Case& c : {Case{3, {500, 400}}, Case{0, {720, 657}}, Case{1, {555, 657}}, Case{2, {1113, 657}},
                          Case{4, {555, 657}}, Case{5, {1113, 657}}}) {
        window.tabs()->setCurrentIndex(c.page);
        EXPECT_EQ(window.size(), c.size) << "page " << c.page;
    }
    const QPoint position = window.pos();
    window.tabs()->setCurrentIndex(0);
    EXPECT_EQ(window.pos(), position) << "a page change keeps the position";
}

TEST(MainWindowTest, EscapeDoesNotCloseTheWindow) {
    MainWindow window;
    window.show();
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());
}

TEST(FloatingWindowTest, DoubleClickRunsMainWindowAndComesBack) {
    FloatingWindow floating;
    floating.show();
    EXPECT_TRUE(floating.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(floating.toolTip(), QStringLiteral("我在这儿噢！双击打开主程序，右键可以退出程序 "));
    bool wasHiddenWhileOpen = false;
    int runs = 0;
    floating.setMainWindowRunner([&] {
        ++runs;
        wasHiddenWhileOpen = !floating.isVisible();
    });
    QWidget* picture = floating.findChild<QWidget*>(QStringLiteral("图片框1"));
    ASSERT_NE(picture, nullptr);
    QTest::mouseDClick(picture, Qt::LeftButton);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(wasHiddenWhileOpen);
    EXPECT_TRUE(floating.isVisible());
}

TEST(FloatingWindowTest, MenuOpensMainWindowOrQuits) {
    FloatingWindow floating;
    floating.show();
    int runs = 0;
    floating.setMainWindowRunner([&] { ++runs; });
    QSignalSpy quit(&floating, &FloatingWindow::quitRequested);
    const QList<QAction*> actions = floating.popupMenu()->actions();
    ASSERT_EQ(actions.size(), 2);
    EXPECT_EQ(actions[0]->text(), QStringLiteral("打开主界面"));
    EXPECT_EQ(actions[1]->text(), QStringLiteral("关闭程序"));
    actions[0]->trigger();
    EXPECT_EQ(runs, 1);
    actions[1]->trigger();
    EXPECT_EQ(quit.count(), 1);
}

TEST(FloatingWindowTest, ReopenedMainWindowStartsFresh) {
    FloatingWindow floating;
    floating.show();
    QStringList textsSeen;
    floating.setMainWindowRunner([&] {
        MainWindow window;
        window.show();
        QLineEdit* threshold = window.findChild<QLineEdit*>(QStringLiteral("编辑框28"));
        ASSERT_NE(threshold, nullptr);
        textsSeen << threshold->text();
        threshold->setText(QStringLiteral("12345"));
    });
    floating.openMainWindow();
    floating.openMainWindow();
    EXPECT_EQ(textsSeen, QStringList({QStringLiteral("99"), QStringLiteral("99")}));
}

TEST(LatestJobTest, StartingOrDroppingOvertakesEveryEarlierJob) {
    std::function<bool()> secondOvertaken;
    {
        ui::LatestJob jobs;
        const auto first = jobs.start();
        const auto firstOvertaken = jobs.overtaken(first);
        EXPECT_TRUE(jobs.isLatest(first));
        EXPECT_FALSE(firstOvertaken());
        const auto second = jobs.start();
        EXPECT_FALSE(jobs.isLatest(first));
        EXPECT_TRUE(firstOvertaken());
        EXPECT_TRUE(jobs.isLatest(second));
        secondOvertaken = jobs.overtaken(second);
        EXPECT_FALSE(secondOvertaken());
        jobs.dropAll();
        EXPECT_FALSE(jobs.isLatest(second));
    }
    EXPECT_TRUE(secondOvertaken()) << "a worker may still ask once the panel is gone";
}

TEST(BackgroundJobTest, ResultArrivesOnUiThreadAndNotAfterReceiverIsGone) {
    QObject receiver;
    std::atomic<bool> ranOnWorker{false};
    Qt::HANDLE uiThread = QThread::currentThreadId();
    Qt::HANDLE doneThread = nullptr;
    int result = 0;
    ui::runInBackground(
        &receiver,
        [&](ui::JobContext&) {
            ranOnWorker = QThread::currentThreadId() != uiThread;
            return 42;
        },
        [&](int value) {
            doneThread = QThread::currentThreadId();
            result = value;
        });
    QTRY_COMPARE(result, 42);
    EXPECT_TRUE(ranOnWorker);
    EXPECT_EQ(doneThread, uiThread);

    std::atomic<bool> release{false};
    std::atomic<bool> sawStop{false};
    bool lateDelivery = false;
    auto* doomed = new QObject;
    ui::runInBackground(
        doomed,
        [&](ui::JobContext& context) {
            while (!release)
                std::this_thread::yield();
            sawStop = context.stopRequested();
            return 1;
        },
        [&](int) { lateDelivery = true; });
    delete doomed;
    release = true;
    QTest::qWait(200);
    EXPECT_TRUE(sawStop);
    EXPECT_FALSE(lateDelivery);
}

TEST(MessageBoxTest, EmptyCaptionBecomesInformationCaption) {
    MessageRecorder recorder;
    ui::showMessage(nullptr, QStringLiteral("没有内容"), {}, ui::MessageIcon::Warning);
    ASSERT_EQ(recorder.messages().size(), 1u);
    EXPECT_EQ(recorder.last().caption, QStringLiteral("信息："));
    EXPECT_EQ(static_cast<int>(recorder.last().icon), 48);
}
