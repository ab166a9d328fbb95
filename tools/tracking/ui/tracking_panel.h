#pragma once

#include "app/support/latest_job.h"
#include "tools/tracking/tracking.h"

#include <QString>
#include <QWidget>

#include <cstdint>
#include <expected>
#include <memory>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

/// The tracking query inside `分组框1`: a number, a choice of two interfaces and the result box.
/// The query runs in the background; its company line and result reach the widgets on the UI thread.
class TrackingPanel : public QWidget {
    Q_OBJECT
public:
    explicit TrackingPanel(QWidget* pageBox);

private:
    /// A query's result text as the result box shows it, or why there is none.
    using ShownResult = std::expected<QString, tracking::ExtractError>;

    void query();
    void showResult(const ShownResult& shown);

    QLineEdit* m_number = nullptr;
    QLabel* m_companyLine = nullptr;
    QPushButton* m_queryButton = nullptr;
    QRadioButton* m_interface1 = nullptr;
    QRadioButton* m_interface2 = nullptr;
    QPlainTextEdit* m_result = nullptr;
    ui::LatestJob m_queries; ///< only the latest query may write the widgets; older ones are abandoned
};
