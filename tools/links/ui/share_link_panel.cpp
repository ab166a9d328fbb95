#include "tools/links/ui/share_link_panel.h"

#include "net/endpoints.h"
#include "tools/links/share_link.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

// A sample of what users paste: a product link of the mobile marketplace site with share tracking.
QString sampleShareLink() {
    const QString host = QString::fromStdString(net::endpoint(net::Endpoint::PinduoduoMobileHost));
    return QStringLiteral("https://%1/goods.html?goods_id=238541782354&page_from=1&share_uid=1017365098"
                          "&refer_share_channel=copy_link")
        .arg(host);
}

} // namespace

ShareLinkPanel::ShareLinkPanel(QWidget* pageBox, QWidget* mainWindow)
    : QWidget(pageBox), m_mainWindow(mainWindow) {
    if (pageBox)
        setGeometry(pageBox->rect());

    // Places of the page's design; the large box is cut to the page box's height.
    m_input = new QLineEdit(sampleShareLink(), this);
    m_input->setObjectName(QStringLiteral("编辑框3"));
    m_input->setGeometry(8, 16, 399, 32);
    m_input->setCursorPosition(0);

    auto* trimButton = new QPushButton(QStringLiteral("解析"), this);
    trimButton->setObjectName(QStringLiteral("按钮2"));
    trimButton->setGeometry(415, 16, 48, 32);
    connect(trimButton, &QPushButton::clicked, this, &ShareLinkPanel::trim);

    m_output = new QLineEdit(this);
    m_output->setObjectName(QStringLiteral("编辑框4"));
    m_output->setGeometry(8, 56, 400, 32);

    auto* playButton = new QPushButton(QStringLiteral("播放"), this);
    playButton->setObjectName(QStringLiteral("按钮3"));
    playButton->setGeometry(415, 56, 48, 32);
    connect(playButton, &QPushButton::clicked, this, &ShareLinkPanel::widenWindow);

    auto* unused = new QPlainTextEdit(this);
    unused->setObjectName(QStringLiteral("编辑框5"));
    const int bottom = pageBox ? pageBox->height() - 8 : 600;
    unused->setGeometry(8, 96, 528, std::min(504, bottom - 96));
}

void ShareLinkPanel::trim() {
    // A one-line box and one linear pass: quick enough for the UI thread.
    m_output->setText(QString::fromStdString(links::trimShareLink(m_input->text().toStdString())));
}

void ShareLinkPanel::widenWindow() {
    if (m_mainWindow)
        m_mainWindow->resize(kFullWidth, m_mainWindow->height());
}
