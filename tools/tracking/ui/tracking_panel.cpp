#include "tools/tracking/ui/tracking_panel.h"

#include "app/support/background_job.h"
#include "app/support/message_box.h"
#include "net/endpoints.h"
#include "net/web_request.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

tracking::Hosts hosts() {
    return {net::endpoint(net::Endpoint::TrackingSiteHost), net::endpoint(net::Endpoint::NetworkTimeHost),
            net::endpoint(net::Endpoint::TrackingApiHost)};
}

// The most the result box is given: laying out a longer text would stall the window.
constexpr qsizetype kMaxResultCharacters = 100000;
// A company code is a short word; the label gets no more than this of whatever stands there.
constexpr qsizetype kMaxCompanyLineCharacters = 100;

// `text` (UTF-8) as shown, at most `limit` characters, made on the worker so the UI thread only sets it.
QString shownText(const std::string& text, qsizetype limit) {
    QString shown = QString::fromStdString(text);
    if (shown.size() > limit) {
        shown.truncate(limit);
        if (shown.back().isHighSurrogate())
            shown.chop(1);
    }
    return shown;
}

QString errorText(tracking::ExtractError error) {
    switch (error) {
    case tracking::ExtractError::PatternFailed:
        return QStringLiteral("正则创建失败，请检查正则表达式语句是否有误！");
    case tracking::ExtractError::NoMatch:
        break;
    }
    return QStringLiteral("匹配失败，请检检查正则语句是否有误，数量：0");
}

} // namespace

TrackingPanel::TrackingPanel(QWidget* pageBox) : QWidget(pageBox) {
    setGeometry(pageBox->rect());

    auto* numberCaption = new QLabel(QStringLiteral("要查询的快递单号："), this);
    numberCaption->setObjectName(QStringLiteral("标签46"));

    m_number = new QLineEdit(QStringLiteral("YT2200000000000"), this);
    m_number->setObjectName(QStringLiteral("编辑框1"));
    m_number->setMinimumHeight(32);

    m_companyLine = new QLabel(this);
    m_companyLine->setObjectName(QStringLiteral("标签48"));
    m_companyLine->setMinimumWidth(
        m_companyLine->fontMetrics().horizontalAdvance(QStringLiteral("接口2不支持")));

    m_queryButton = new QPushButton(QStringLiteral("查询"), this);
    m_queryButton->setObjectName(QStringLiteral("按钮1"));
    m_queryButton->setMinimumHeight(30);

    m_interface1 = new QRadioButton(QStringLiteral("查询接口1"), this);
    m_interface1->setObjectName(QStringLiteral("单选框6"));
    m_interface1->setChecked(true);
    m_interface2 = new QRadioButton(QStringLiteral("查询接口2"), this);
    m_interface2->setObjectName(QStringLiteral("单选框7"));

    auto* hint =
        new QLabel(QStringLiteral("上面系统返回的快递公司简称，如果不准确，切换接口从新尝试。"), this);
    hint->setObjectName(QStringLiteral("标签47"));
    hint->setWordWrap(true);

    // Part of the designed form, never shown: each query gathers its events in a text of its own.
    auto* unused = new QLineEdit(this);
    unused->setObjectName(QStringLiteral("编辑框34"));
    unused->hide();

    m_result = new QPlainTextEdit(this);
    m_result->setObjectName(QStringLiteral("编辑框2"));

    auto* choices = new QVBoxLayout;
    choices->setSpacing(2);
    choices->addWidget(m_interface1);
    choices->addWidget(m_interface2);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 10, 8, 8);
    grid->addWidget(numberCaption, 0, 0);
    grid->addWidget(m_number, 0, 1);
    grid->addWidget(m_companyLine, 0, 2);
    grid->addWidget(m_queryButton, 0, 3);
    grid->addWidget(hint, 1, 0, 1, 3);
    grid->addLayout(choices, 1, 3);
    grid->addWidget(m_result, 2, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(2, 1);

    connect(m_queryButton, &QPushButton::clicked, this, &TrackingPanel::query);
}

void TrackingPanel::query() {
    const tracking::Interface which =
        m_interface2->isChecked() ? tracking::Interface::Second : tracking::Interface::First;
    const std::string number = m_number->text().toStdString();
    // The company line is the first answer of every query; until it comes, it says the query runs.
    m_companyLine->setText(QStringLiteral("查询中…"));
    // Only the latest query may write the widgets: an older, slower one is dropped, its company line too.
    const ui::LatestJob::Number queryNumber = m_queries.start();
    ui::runInBackground(
        this,
        [this, which, number, hosts = hosts(), queryNumber,
         overtaken = m_queries.overtaken(queryNumber)](ui::JobContext& context) -> ShownResult {
            // Closing the window or starting a newer query abandons this one: its running request
            // stops and its later requests are not sent, instead of holding a worker until it ends.
            const auto abandoned = [&context, &overtaken] { return context.stopRequested() || overtaken(); };
            const tracking::QueryResult outcome = tracking::runQuery(
                which, number, hosts,
                [&abandoned](net::WebRequestOptions options) {
                    if (abandoned())
                        return net::WebAnswer{.failed = true, .error = "abandoned"};
                    options.stopRequested = abandoned;
                    return net::WebRequest(options);
                },
                [this, &context, queryNumber](const std::string& line) {
                    // Runs on the UI thread, and only while this panel lives.
                    context.postToUi([this, queryNumber, text = shownText(line, kMaxCompanyLineCharacters)] {
                        if (m_queries.isLatest(queryNumber))
                            m_companyLine->setText(text);
                    });
                });
            if (!outcome.result)
                return std::unexpected(outcome.result.error());
            return shownText(*outcome.result, kMaxResultCharacters);
        },
        [this, queryNumber](const ShownResult& shown) {
            if (m_queries.isLatest(queryNumber))
                showResult(shown);
        });
}

void TrackingPanel::showResult(const ShownResult& shown) {
    if (!shown) {
        // The result box keeps the previous query's text.
        ui::showMessage(window(), errorText(shown.error()), {}, ui::MessageIcon::Error);
        return;
    }
    m_result->setPlainText(*shown);
}
