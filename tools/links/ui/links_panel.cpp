#include "tools/links/ui/links_panel.h"

#include "app/support/background_job.h"
#include "app/support/message_box.h"
#include "platform/run_directory.h"
#include "tools/links/error_text.h"
#include "tools/links/id_import.h"
#include "tools/links/link_workbook.h"
#include "tools/links/ui/link_list_model.h"

#include <QButtonGroup>
#include <QEvent>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

#include <array>
#include <expected>
#include <utility>

namespace {

struct MarketplaceChoice {
    links::Marketplace marketplace;
    const char16_t* name;   // form name of the radio button
    const char16_t* label;  // its caption
    const char16_t* status; // the status text an import shows
};

constexpr std::array kChoices{
    MarketplaceChoice{links::Marketplace::Douyin, u"单选框1", u"抖店地址", u"当前生成地址为抖店地址"},
    MarketplaceChoice{links::Marketplace::Taobao, u"单选框2", u"淘宝地址", u"当前生成地址为淘宝地址"},
    MarketplaceChoice{links::Marketplace::Pinduoduo, u"单选框3", u"拼多多地址", u"当前生成地址为拼多多地址"},
    MarketplaceChoice{links::Marketplace::Jd, u"单选框4", u"京东地址", u"当前生成地址为京东地址"},
    MarketplaceChoice{links::Marketplace::Alibaba1688, u"单选框5", u"1688地址", u"当前生成地址为1688地址"},
};

const QString kInitialStatus = QStringLiteral("先勾选要生成的地址选项，再导入ID");

QString fromPath(const std::filesystem::path& path) {
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

std::filesystem::path toPath(const QString& path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString defaultChooseFile(QWidget* parent, const QString& directory, const QString& filter) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDirectory(directory);
    dialog.setNameFilter(filter);
    // The filter's label already names the pattern; do not show it twice.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

// Turns a worker's progress into at most one UI update per percent.
class PercentPoster {
public:
    PercentPoster(const ui::JobContext& context, std::function<void(int)> show)
        : m_context(context), m_show(std::move(show)) {}
    void operator()(std::uint64_t done, std::uint64_t total) {
        const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
        if (percent == m_last)
            return;
        m_last = percent;
        m_context.postToUi([show = m_show, percent] { show(percent); });
    }

private:
    const ui::JobContext& m_context;
    std::function<void(int)> m_show;
    int m_last = -1;
};

} // namespace

LinksPanel::LinksPanel(QWidget* page) : QWidget(page), m_chooseFile(defaultChooseFile) {
    // The panel follows the page's size but is not in a layout of it: its minimum width must not
    // widen the narrower pages that share the window.
    if (page) {
        setGeometry(page->rect());
        page->installEventFilter(this);
    }

    m_status = new QLabel(kInitialStatus, this);
    m_status->setObjectName(QStringLiteral("透明标签1"));
    m_status->setAttribute(Qt::WA_TranslucentBackground);
    // Wide enough for every status text, so the radio buttons never move when it changes.
    int statusWidth = m_status->fontMetrics().horizontalAdvance(kInitialStatus);
    for (const MarketplaceChoice& choice : kChoices)
        statusWidth = std::max(statusWidth,
                               m_status->fontMetrics().horizontalAdvance(QString::fromUtf16(choice.status)));
    m_status->setMinimumWidth(statusWidth + 8);

    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    top->addWidget(m_status);
    m_marketplaces = new QButtonGroup(this);
    for (int index = 0; index < static_cast<int>(kChoices.size()); ++index) {
        auto* radio =
            new QRadioButton(QString::fromUtf16(kChoices[static_cast<std::size_t>(index)].label), this);
        radio->setObjectName(QString::fromUtf16(kChoices[static_cast<std::size_t>(index)].name));
        m_marketplaces->addButton(radio, index);
        top->addWidget(radio);
    }
    top->addStretch(1);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("进度条1"));
    m_progress->setRange(0, 100);
    m_progress->setFixedWidth(240);
    m_progress->hide();
    top->addWidget(m_progress);

    m_model = new LinkListModel(this);
    m_view = new QTableView(this);
    m_view->setObjectName(QStringLiteral("超级列表框1"));
    m_view->setModel(m_model);
    m_view->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_view->setWordWrap(false);
    m_view->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_view->verticalHeader()->hide();
    // Fixed, equal rows: the view never measures a row's contents, whatever the row count.
    m_view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_view->verticalHeader()->setDefaultSectionSize(m_view->fontMetrics().height() + 6);
    QHeaderView* header = m_view->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setStretchLastSection(false);
    header->resizeSection(0, 200);
    header->resizeSection(1, 882);

    m_menu = new QMenu(QStringLiteral("菜单"), this);
    m_menu->setObjectName(QStringLiteral("菜单"));
    connect(m_menu->addAction(QStringLiteral("导入商品ID")), &QAction::triggered, this,
            &LinksPanel::importIds);
    m_menu->addSeparator();
    connect(m_menu->addAction(QStringLiteral("导出商品链接")), &QAction::triggered, this,
            &LinksPanel::exportLinks);
    m_menu->addSeparator();
    connect(m_menu->addAction(QStringLiteral("清空")), &QAction::triggered, this, &LinksPanel::clearRows);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_view, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& position) { m_menu->popup(m_view->viewport()->mapToGlobal(position)); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 4);
    layout->setSpacing(6);
    layout->addLayout(top);
    layout->addWidget(m_view, 1);
}

LinksPanel::~LinksPanel() {
    // Jobs also see their receiver gone; telling the import directly stops it a little sooner.
    m_imports.dropAll();
}

bool LinksPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void LinksPanel::setOpenFileChooser(OpenFileChooser chooser) {
    m_chooseFile = chooser ? std::move(chooser) : OpenFileChooser(defaultChooseFile);
}

QString LinksPanel::idFileFilter() {
    return QStringLiteral("商品ID（*.txt） (*.txt)");
}

std::optional<links::Marketplace> LinksPanel::selectedMarketplace() const {
    const int checked = m_marketplaces->checkedId();
    if (checked < 0)
        return std::nullopt;
    return kChoices[static_cast<std::size_t>(checked)].marketplace;
}

void LinksPanel::showStatus(links::Marketplace marketplace) {
    for (const MarketplaceChoice& choice : kChoices)
        if (choice.marketplace == marketplace)
            m_status->setText(QString::fromUtf16(choice.status));
    QPalette palette = m_status->palette();
    palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
    m_status->setPalette(palette);
}

void LinksPanel::importIds() {
    const std::optional<links::Marketplace> marketplace = selectedMarketplace();
    if (!marketplace)
        return;
    showStatus(*marketplace);
    std::optional<links::LinkTemplate> link = links::linkTemplateFor(*marketplace);
    if (!link)
        return;
    const QString chosen = m_chooseFile(this, fromPath(platform::runDirectory()), idFileFilter());
    // Cancelling keeps the rows the user already has.
    if (chosen.isEmpty())
        return;
    startImport(toPath(chosen), std::move(*link));
}

void LinksPanel::startImport(const std::filesystem::path& path, links::LinkTemplate link) {
    stopImport();
    const ui::LatestJob::Number token = m_imports.start();
    m_importRunning = true;
    m_importDelivering = false;
    showProgress(QStringLiteral("正在导入 %p%"), 0);

    const std::string shownPath = path.string();
    ui::runInBackground(
        this,
        [this, path, link, token, overtaken = m_imports.overtaken(token)](ui::JobContext& context) {
            PercentPoster percent(context, [this, token](int value) {
                if (m_imports.isLatest(token))
                    showProgress(QStringLiteral("正在导入 %p%"), value);
            });
            const links::TaskObserver observer{std::ref(percent),
                                               [&] { return overtaken() || context.stopRequested(); }};
            // Rows reach the list in blocks, in file order, and only once the file was read whole: a file
            // that fails leaves the list as it was.
            return links::importIdFile(path, observer, [&](const links::IdBlock& block) {
                context.postToUi([this, token, link, block] {
                    if (!m_imports.isLatest(token))
                        return;
                    if (!m_importDelivering) {
                        m_model->restart(link);
                        m_importDelivering = true;
                    }
                    m_model->appendBlock(block);
                });
            });
        },
        [this, token, link, shownPath](std::expected<links::IdRows, links::ImportError> result) {
            if (!m_imports.isLatest(token))
                return;
            m_importRunning = false;
            updateProgressVisibility();
            if (result) {
                if (!m_importDelivering) // an empty file still replaces the list
                    m_model->restart(link);
            } else if (result.error().failure != links::ImportFailure::Cancelled) {
                ui::showMessage(this,
                                QString::fromStdString(links::importErrorText(result.error(), shownPath)), {},
                                ui::MessageIcon::Error);
            }
            m_importDelivering = false;
            Q_EMIT importFinished();
        });
}

void LinksPanel::stopImport() {
    if (!m_importRunning)
        return;
    m_imports.dropAll(); // stops the import and drops whatever it still delivers
    m_importRunning = false;
    // A list the stopped import had half replaced would pass for a whole one: leave it empty instead.
    if (m_importDelivering)
        m_model->clear();
    m_importDelivering = false;
    updateProgressVisibility();
    Q_EMIT importFinished();
}

void LinksPanel::clearRows() {
    stopImport();
    m_model->clear();
}

void LinksPanel::exportLinks() {
    if (m_model->rowCount() == 0) {
        ui::showMessage(this, QStringLiteral("没有内容"), {}, ui::MessageIcon::Warning);
        return;
    }
    if (m_importRunning) {
        // The list is still filling; exporting now would write part of it.
        ui::showMessage(this, QStringLiteral("正在导入商品ID，请在导入完成后再导出。"), {},
                        ui::MessageIcon::Warning);
        return;
    }
    // The workbook gets the list as it is now, whatever happens to the list while it is written.
    links::LinkRows rows = m_model->snapshot();
    const std::filesystem::path target = platform::runDirectory() / std::string(links::kWorkbookFileName);
    ++m_exportsRunning;
    showProgress(QStringLiteral("正在导出 %p%"), 0);
    ui::runInBackground(
        this,
        [this, rows = std::move(rows), target](ui::JobContext& context) {
            PercentPoster percent(context, [this](int value) {
                if (!m_importRunning)
                    showProgress(QStringLiteral("正在导出 %p%"), value);
            });
            const links::TaskObserver observer{std::ref(percent), [&] { return context.stopRequested(); }};
            return links::writeLinkWorkbook(target, rows, observer);
        },
        [this, target](std::expected<void, links::ExportError> result) {
            --m_exportsRunning;
            updateProgressVisibility();
            if (result)
                ui::showMessage(this, QStringLiteral("导出成功！"), {}, ui::MessageIcon::Information);
            else if (result.error().failure != links::ExportFailure::Cancelled)
                ui::showMessage(this, QString::fromStdString(links::exportErrorText(result.error(), target)),
                                {}, ui::MessageIcon::Error);
            Q_EMIT exportFinished();
        });
}

void LinksPanel::showProgress(const QString& format, int percent) {
    m_progress->setFormat(format);
    m_progress->setValue(percent);
    m_progress->show();
}

void LinksPanel::updateProgressVisibility() {
    if (m_importRunning)
        return;
    if (m_exportsRunning > 0)
        m_progress->setFormat(QStringLiteral("正在导出 %p%"));
    else
        m_progress->hide();
}
