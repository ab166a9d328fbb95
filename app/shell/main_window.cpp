#include "app/shell/main_window.h"

#include "tools/ai/ui/ai_panel.h"
#include "tools/calculators/ui/calculators_panel.h"
#include "tools/channel_qr/ui/channel_qr_panel.h"
#include "tools/decoration/ui/decoration_panel.h"
#include "tools/links/ui/links_panel.h"
#include "tools/links/ui/share_link_panel.h"
#include "tools/tracking/ui/tracking_panel.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

// Page contents are placed at fixed positions inside the page-level group boxes; the window size of
// each page decides how much of them shows (page 0 at 720 pixels shows only the calculators).
constexpr int kPageBoxTop = 4;
constexpr int kPageBoxHeight = 598;

QWidget* addPage(QTabWidget* tabs, const QString& caption) {
    auto* page = new QWidget;
    tabs->addTab(page, caption);
    return page;
}

QGroupBox* addPageBox(QWidget* page, const QString& name, int left, int width, int height = kPageBoxHeight,
                      int top = kPageBoxTop) {
    auto* box = new QGroupBox(page);
    box->setObjectName(name);
    box->setGeometry(left, top, width, height);
    return box;
}

} // namespace

MainWindow::MainWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Varrow电商综合工具箱 V0.1   By：Varrow"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setModal(true);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("选择夹1"));
    m_tabs->setUsesScrollButtons(true);

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("状态条1"));
    m_statusBar->setSizeGripEnabled(false);
    // Two parts of 554 and 553 pixels; on narrow pages they shrink rather than widen the window.
    for (const int partWidth : {554, 553}) {
        auto* part = new QLabel(m_statusBar);
        part->setMaximumWidth(partWidth);
        part->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        m_statusBar->addWidget(part, partWidth);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(m_statusBar);

    QWidget* calculatorsPage = addPage(m_tabs, QStringLiteral("折扣计算器"));
    QGroupBox* box4 = addPageBox(calculatorsPage, QStringLiteral("分组框4"), 7, 1096);
    new CalculatorsPanel(box4);
    new AiPanel(box4, this);

    QWidget* trackingPage = addPage(m_tabs, QStringLiteral("快递信息查询"));
    new TrackingPanel(addPageBox(trackingPage, QStringLiteral("分组框1"), 5, 544));
    addPageBox(trackingPage, QStringLiteral("分组框2"), 553, 552);

    QWidget* linksPage = addPage(m_tabs, QStringLiteral("商品链接生成"));
    new LinksPanel(linksPage);

    QWidget* decorationPage = addPage(m_tabs, QStringLiteral("C店详情编辑"));
    m_decoration =
        new DecorationPanel(addPageBox(decorationPage, QStringLiteral("分组框11"), 9, 475, 310, 31));

    QWidget* sharePage = addPage(m_tabs, QStringLiteral("直播视频下载"));
    new ShareLinkPanel(addPageBox(sharePage, QStringLiteral("分组框3"), 8, 545), this);

    QWidget* channelPage = addPage(m_tabs, QStringLiteral("淘系二维码生成"));
    new ChannelQrPanel(addPageBox(channelPage, QStringLiteral("分组框14"), 7, 1096));

    connect(m_tabs, &QTabWidget::currentChanged, this, &MainWindow::onPageChanged);
    resize(sizeForPage(0));
}

MainWindow::~MainWindow() {
    m_decoration->releaseHotkeys();
}

QSize MainWindow::sizeForPage(int index) {
    switch (index) {
    case 0:
        return {720, 657};
    case 1:
    case 4:
        return {555, 657};
    case 2:
    case 5:
        return {1113, 657};
    case 3:
        return {500, 400};
    default:
        return {};
    }
}

void MainWindow::onPageChanged(int index) {
    if (index == 3)
        m_decoration->activateHotkeys();
    if (const QSize size = sizeForPage(index); size.isValid())
        resize(size);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    m_decoration->releaseHotkeys();
    QDialog::closeEvent(event);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // A dialog closes on Escape; a stray key press must not throw away the user's work.
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

void MainWindow::done(int result) {
    m_decoration->releaseHotkeys();
    QDialog::done(result);
}
