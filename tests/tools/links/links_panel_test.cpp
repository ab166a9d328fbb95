#include "tools/links/ui/links_panel.h"

#include "message_recorder.h"
#include "net/endpoints.h"
#include "temporary_directory.h"
#include "tools/links/link_workbook.h"
#include "xlsx_reader.h"

#include <QAbstractItemModel>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

namespace {

const QString kTaobaoPrefix = QStringLiteral("https://%1/item.htm?id=")
                                  .arg(QString::fromStdString(net::endpoint(net::Endpoint::TaobaoItemHost)));

QString text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class LinksPanelTest : public testing::Test {
protected:
    LinksPanelTest() {
        ::setenv("VARROW_RUN_DIR", m_runDirectory.path().c_str(), 1);
        m_page.resize(1105, 600);
        m_panel = new LinksPanel(&m_page);
        m_panel->setOpenFileChooser([this](QWidget*, const QString& directory, const QString& filter) {
            ++m_dialogs;
            m_dialogDirectory = directory;
            m_dialogFilter = filter;
            return m_answer;
        });
        m_page.show();
        m_view = m_panel->findChild<QTableView*>(QStringLiteral("超级列表框1"));
        m_model = m_view ? m_view->model() : nullptr;
    }
    ~LinksPanelTest() override { ::unsetenv("VARROW_RUN_DIR"); }

    void choose(const char* radio) { m_panel->findChild<QRadioButton*>(text(radio))->setChecked(true); }

    // Imports `path` (as the dialog's answer) and waits for the rows.
    void importFile(const std::filesystem::path& path) {
        m_answer = QString::fromStdString(path.string());
        QSignalSpy finished(m_panel, &LinksPanel::importFinished);
        m_panel->importIds();
        if (m_panel->importRunning()) {
            ASSERT_TRUE(finished.wait(20000));
        }
    }

    void exportAndWait() {
        QSignalSpy finished(m_panel, &LinksPanel::exportFinished);
        m_panel->exportLinks();
        if (m_panel->exportsRunning() > 0) {
            ASSERT_TRUE(finished.wait(60000));
        }
    }

    QString cell(int row, int column) const { return m_model->index(row, column).data().toString(); }

    std::filesystem::path workbookPath() const {
        return m_runDirectory.path() / std::string(links::kWorkbookFileName);
    }

    TemporaryDirectory m_runDirectory;
    TemporaryDirectory m_files;
    MessageRecorder m_messages;
    QWidget m_page;
    LinksPanel* m_panel = nullptr;
    QTableView* m_view = nullptr;
    QAbstractItemModel* m_model = nullptr;
    QString m_answer;
    int m_dialogs = 0;
    QString m_dialogDirectory;
    QString m_dialogFilter;
};

TEST_F(LinksPanelTest, ControlsOfThePage) {
    ASSERT_NE(m_view, nullptr);
    const char* captions[]{"抖店地址", "淘宝地址", "拼多多地址", "京东地址", "1688地址"};
    for (int i = 0; i < 5; ++i) {
        const auto* radio = m_panel->findChild<QRadioButton*>(QStringLiteral("单选框%1").arg(i + 1));
        ASSERT_NE(radio, nullptr) << i;
        EXPECT_EQ(radio->text(), text(captions[i]));
        EXPECT_FALSE(radio->isChecked());
    }
    const auto* status = m_panel->findChild<QLabel*>(QStringLiteral("透明标签1"));
    ASSERT_NE(status, nullptr);
    EXPECT_EQ(status->text(), text("先勾选要生成的地址选项，再导入ID"));

    EXPECT_EQ(m_model->columnCount(), 2);
    EXPECT_EQ(m_model->rowCount(), 0);
    EXPECT_EQ(m_model->headerData(0, Qt::Horizontal).toString(), text("            商品ID"));
    EXPECT_EQ(m_model->headerData(1, Qt::Horizontal).toString(), text("商品链接"));
    EXPECT_EQ(m_view->horizontalHeader()->sectionSize(0), 200);
    EXPECT_EQ(m_view->horizontalHeader()->sectionSize(1), 882);

    const auto* menu = m_panel->findChild<QMenu*>(QStringLiteral("菜单"));
    ASSERT_NE(menu, nullptr);
    QStringList items;
    for (const QAction* action : menu->actions())
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(items, (QStringList{text("导入商品ID"), QStringLiteral("-"), text("导出商品链接"),
                                  QStringLiteral("-"), text("清空")}));
}

// Every control lies inside the page and is wide enough for its text.
TEST_F(LinksPanelTest, LayoutFitsThePage) {
    const QRect page = m_page.rect();
    for (QWidget* widget : m_panel->findChildren<QWidget*>()) {
        if (!widget->isVisible() || widget->parentWidget() != m_panel)
            continue;
        const QRect placed(widget->mapTo(&m_page, QPoint(0, 0)), widget->size());
        EXPECT_TRUE(page.contains(placed)) << widget->objectName().toStdString();
        if (qobject_cast<QLabel*>(widget) || qobject_cast<QRadioButton*>(widget)) {
            EXPECT_GE(widget->width(), widget->sizeHint().width()) << widget->objectName().toStdString();
        }
    }
    EXPECT_GE(m_view->width(), 1000);
    EXPECT_GE(m_view->height(), 500);
}

// The page shares the window with narrower pages: the panel follows its size but never widens it.
TEST_F(LinksPanelTest, FollowsThePageWithoutWideningIt) {
    EXPECT_EQ(m_panel->geometry(), m_page.rect());
    m_page.resize(1000, 550);
    EXPECT_EQ(m_panel->size(), QSize(1000, 550));
    EXPECT_LE(m_page.minimumSizeHint().width(), 0);
}

TEST_F(LinksPanelTest, ImportFillsTheListAndShowsTheMarketplace) {
    choose("单选框2");
    importFile(m_files.write("ids.txt", "1001\r\n1002\r\n1003\r\n"));
    EXPECT_EQ(m_dialogs, 1);
    EXPECT_EQ(m_dialogDirectory, QString::fromStdString(m_runDirectory.path().string()));
    EXPECT_EQ(m_dialogFilter, text("商品ID（*.txt） (*.txt)"));
    ASSERT_EQ(m_model->rowCount(), 3);
    EXPECT_EQ(cell(0, 0), QStringLiteral("1001"));
    EXPECT_EQ(cell(0, 1), kTaobaoPrefix + QStringLiteral("1001"));
    EXPECT_EQ(cell(2, 1), kTaobaoPrefix + QStringLiteral("1003"));
    const auto* status = m_panel->findChild<QLabel*>(QStringLiteral("透明标签1"));
    EXPECT_EQ(status->text(), text("当前生成地址为淘宝地址"));
    EXPECT_EQ(status->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_TRUE(m_messages.empty());
    EXPECT_FALSE(m_panel->findChild<QProgressBar*>()->isVisible());
}

TEST_F(LinksPanelTest, NothingSelectedDoesNothing) {
    m_panel->importIds();
    EXPECT_EQ(m_dialogs, 0);
    EXPECT_EQ(m_panel->findChild<QLabel*>(QStringLiteral("透明标签1"))->text(),
              text("先勾选要生成的地址选项，再导入ID"));
}

TEST_F(LinksPanelTest, JdAnd1688OnlyChangeTheStatus) {
    choose("单选框3");
    importFile(m_files.write("ids.txt", "7\r\n8\r\n"));
    for (const char* radio : {"单选框4", "单选框5"}) {
        choose(radio);
        m_panel->importIds();
    }
    EXPECT_EQ(m_dialogs, 1);
    EXPECT_EQ(m_model->rowCount(), 2);
    EXPECT_EQ(m_panel->findChild<QLabel*>(QStringLiteral("透明标签1"))->text(),
              text("当前生成地址为1688地址"));
}

TEST_F(LinksPanelTest, CancellingTheDialogKeepsTheRows) {
    choose("单选框1");
    importFile(m_files.write("ids.txt", "1\r\n2\r\n3\r\n"));
    ASSERT_EQ(m_model->rowCount(), 3);
    m_answer.clear(); // the user cancels
    m_panel->importIds();
    EXPECT_EQ(m_model->rowCount(), 3);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(LinksPanelTest, UnreadableFileIsReportedAndKeepsTheRows) {
    choose("单选框2");
    importFile(m_files.write("ids.txt", "1\r\n2\r\n"));
    const auto locked = m_files.write("locked.txt", "5\r\n");
    ASSERT_EQ(::chmod(locked.c_str(), 0), 0);
    for (const auto& path : {m_files.path() / "missing.txt", locked}) {
        m_messages.clear();
        importFile(path);
        ASSERT_EQ(m_messages.messages().size(), 1u);
        EXPECT_EQ(m_messages.last().icon, ui::MessageIcon::Error);
        EXPECT_TRUE(m_messages.last().text.contains(QString::fromStdString(path.string())));
        EXPECT_EQ(m_model->rowCount(), 2);
    }
}

TEST_F(LinksPanelTest, EditorLineEndsGiveOneRowPerLine) {
    choose("单选框1");
    importFile(m_files.write("ids.txt", "\xEF\xBB\xBF"
                                        "11\n22\n\n33\n"));
    ASSERT_EQ(m_model->rowCount(), 4);
    EXPECT_EQ(cell(0, 0), QStringLiteral("11"));
    EXPECT_EQ(cell(2, 0), QString());
    EXPECT_TRUE(cell(2, 1).endsWith(QStringLiteral("id=&origin_type=604")));
    EXPECT_FALSE(cell(3, 1).contains(QLatin1Char('\n')));
}

TEST_F(LinksPanelTest, EmptyFileEmptiesTheList) {
    choose("单选框2");
    importFile(m_files.write("ids.txt", "1\r\n"));
    importFile(m_files.write("empty.txt", ""));
    EXPECT_EQ(m_model->rowCount(), 0);
    EXPECT_TRUE(m_messages.empty());
}

TEST_F(LinksPanelTest, LargeFileArrivesInBlocksInFileOrder) {
    std::string content;
    for (int i = 0; i < 200'000; ++i)
        content += std::to_string(700000000 + i) + "\r\n";
    choose("单选框2");
    QSignalSpy inserted(m_model, &QAbstractItemModel::rowsInserted);
    importFile(m_files.write("ids.txt", content));
    ASSERT_EQ(m_model->rowCount(), 200'000);
    EXPECT_GT(inserted.count(), 1);
    int expectedFirst = 0;
    for (const QList<QVariant>& block : inserted) {
        EXPECT_EQ(block.at(1).toInt(), expectedFirst);
        expectedFirst = block.at(2).toInt() + 1;
    }
    for (const int row : {0, 65535, 65536, 199'999})
        EXPECT_EQ(cell(row, 0), QString::number(700000000 + row)) << row;
    m_view->scrollToBottom();
    QTest::qWait(1);
    m_panel->clearRows();
    EXPECT_EQ(m_model->rowCount(), 0);
}

TEST_F(LinksPanelTest, ANewerImportWins) {
    std::string content;
    for (int i = 0; i < 300'000; ++i)
        content += "1234567\r\n";
    choose("单选框2");
    m_answer = QString::fromStdString(m_files.write("big.txt", content).string());
    m_panel->importIds();
    importFile(m_files.write("small.txt", "42\r\n"));
    QTest::qWait(50); // anything the first import still had on its way must be dropped
    ASSERT_EQ(m_model->rowCount(), 1);
    EXPECT_EQ(cell(0, 0), QStringLiteral("42"));
}

TEST_F(LinksPanelTest, ClearDeletesAllRowsAndKeepsTheStatus) {
    choose("单选框3");
    importFile(m_files.write("ids.txt", "1\r\n2\r\n"));
    m_panel->clearRows();
    EXPECT_EQ(m_model->rowCount(), 0);
    EXPECT_EQ(m_panel->findChild<QLabel*>(QStringLiteral("透明标签1"))->text(),
              text("当前生成地址为拼多多地址"));
}

TEST_F(LinksPanelTest, EmptyListExportsNothing) {
    m_runDirectory.write(std::string(links::kWorkbookFileName), "old");
    exportAndWait();
    ASSERT_EQ(m_messages.messages().size(), 1u);
    EXPECT_EQ(m_messages.last().text, text("没有内容"));
    EXPECT_EQ(m_messages.last().caption, text("信息："));
    EXPECT_EQ(m_messages.last().icon, ui::MessageIcon::Warning);
    EXPECT_EQ(TemporaryDirectory::read(workbookPath()), "old");
}

TEST_F(LinksPanelTest, ExportWritesTheListAndReadsBack) {
    choose("单选框2");
    importFile(m_files.write("ids.txt", "1234567890123456789\r\n\r\n1003\r\n"));
    exportAndWait();
    ASSERT_EQ(m_messages.messages().size(), 1u);
    EXPECT_EQ(m_messages.last().text, text("导出成功！"));
    EXPECT_EQ(m_messages.last().icon, ui::MessageIcon::Information);
    const auto workbook = readWorkbook(workbookPath());
    ASSERT_TRUE(workbook);
    ASSERT_EQ(workbook->rows.size(), 4u);
    EXPECT_EQ(workbook->cell(2, 1).type, "s");
    EXPECT_EQ(workbook->cell(2, 1).value, "1234567890123456789");
    EXPECT_EQ(workbook->cell(3, 1).type, "empty");
    for (int row = 2; row <= 4; ++row)
        EXPECT_EQ(QString::fromStdString(workbook->cell(row, 2).value), cell(row - 2, 1)) << row;
}

TEST_F(LinksPanelTest, FailedExportShowsTheCauseAndKeepsTheOldWorkbook) {
    choose("单选框2");
    importFile(m_files.write("ids.txt", "1\r\n2\r\n"));
    m_runDirectory.write(std::string(links::kWorkbookFileName), "old workbook");
    ASSERT_EQ(::chmod(m_runDirectory.path().c_str(), 0555), 0);
    exportAndWait();
    ::chmod(m_runDirectory.path().c_str(), 0755);
    ASSERT_EQ(m_messages.messages().size(), 1u);
    EXPECT_EQ(m_messages.last().icon, ui::MessageIcon::Error);
    EXPECT_TRUE(m_messages.last().text.contains(text("没有访问权限")))
        << m_messages.last().text.toStdString();
    EXPECT_TRUE(m_messages.last().text.contains(QString::fromStdString(m_runDirectory.path().string())));
    EXPECT_EQ(TemporaryDirectory::read(workbookPath()), "old workbook");
}

TEST_F(LinksPanelTest, ExportWritesTheRowsAsTheyWereWhenItStarted) {
    std::string content;
    for (int i = 0; i < 5'000; ++i)
        content += std::to_string(900000 + i) + "\r\n";
    choose("单选框2");
    importFile(m_files.write("ids.txt", content));
    QSignalSpy finished(m_panel, &LinksPanel::exportFinished);
    m_panel->exportLinks();
    m_panel->clearRows(); // while the export runs
    ASSERT_TRUE(finished.wait(60000));
    EXPECT_EQ(m_messages.last().text, text("导出成功！"));
    const auto workbook = readWorkbook(workbookPath(), 0);
    ASSERT_TRUE(workbook);
    ASSERT_EQ(workbook->rows.size(), 5'001u);
    EXPECT_EQ(workbook->cell(5'001, 1).value, "904999");
}

TEST_F(LinksPanelTest, ExportWaitsForAnImportToFinish) {
    choose("单选框2");
    importFile(m_files.write("ids.txt", "1\r\n"));
    m_answer = QString::fromStdString(m_files.write("more.txt", "1\r\n2\r\n").string());
    m_panel->importIds();
    m_panel->exportLinks(); // the import has not delivered its rows yet
    ASSERT_EQ(m_messages.messages().size(), 1u);
    EXPECT_EQ(m_messages.last().icon, ui::MessageIcon::Warning);
    EXPECT_FALSE(std::filesystem::exists(workbookPath()));
    QSignalSpy finished(m_panel, &LinksPanel::importFinished);
    if (m_panel->importRunning()) {
        ASSERT_TRUE(finished.wait(10000));
    }
    EXPECT_EQ(m_model->rowCount(), 2);
}

TEST_F(LinksPanelTest, RightClickPopsUpTheMenu) {
    auto* menu = m_panel->findChild<QMenu*>(QStringLiteral("菜单"));
    Q_EMIT m_view->customContextMenuRequested(QPoint(20, 20));
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
}

} // namespace
