#pragma once

#include "app/support/latest_job.h"
#include "tools/links/marketplace.h"

#include <QString>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>

class LinkListModel;
class QAction;
class QButtonGroup;
class QLabel;
class QMenu;
class QProgressBar;
class QTableView;

/// Page "商品链接生成": product links made from a file of IDs, listed in `超级列表框1` and exported
/// to "商品链接.xlsx" in the run directory.
class LinksPanel : public QWidget {
    Q_OBJECT
public:
    explicit LinksPanel(QWidget* page);
    ~LinksPanel() override;

    /// Shows the open-file dialog and returns the chosen path, or "" when cancelled.
    using OpenFileChooser =
        std::function<QString(QWidget* parent, const QString& directory, const QString& filter)>;
    /// Replaces the open-file dialog (tests answer it without a window); an empty chooser restores it.
    void setOpenFileChooser(OpenFileChooser chooser);

    /// The filter of the open-file dialog, in Qt's form.
    static QString idFileFilter();

    /// "导入商品ID": asks for a file and fills the list from it, for the selected marketplace.
    void importIds();
    /// "导出商品链接": writes the list to the workbook in the run directory.
    void exportLinks();
    /// "清空": deletes all rows (and stops an import still running).
    void clearRows();

    bool importRunning() const { return m_importRunning; }
    int exportsRunning() const { return m_exportsRunning; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

Q_SIGNALS:
    /// An import ended (filled the list, failed or was superseded).
    void importFinished();
    /// An export ended, whatever its outcome; its message has been shown.
    void exportFinished();

private:
    std::optional<links::Marketplace> selectedMarketplace() const;
    void showStatus(links::Marketplace marketplace);
    void startImport(const std::filesystem::path& path, links::LinkTemplate link);
    void stopImport();
    void showProgress(const QString& format, int percent);
    void updateProgressVisibility();

    QLabel* m_status = nullptr;
    QButtonGroup* m_marketplaces = nullptr;
    QProgressBar* m_progress = nullptr;
    QTableView* m_view = nullptr;
    LinkListModel* m_model = nullptr;
    QMenu* m_menu = nullptr;
    OpenFileChooser m_chooseFile;

    // The import in progress: a newer import or "清空" supersedes it, and its late rows are dropped.
    ui::LatestJob m_imports; // only the latest import may fill the list; an older one stops
    bool m_importRunning = false;
    bool m_importDelivering = false; // its rows have started to replace the list
    int m_exportsRunning = 0;
};
