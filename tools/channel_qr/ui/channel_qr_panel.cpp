#include "tools/channel_qr/ui/channel_qr_panel.h"

#include "app/support/background_job.h"
#include "app/support/message_box.h"
#include "platform/run_directory.h"

#include <QByteArray>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

namespace {

using channel_qr::kChannelCount;

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString displayPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return QString::fromUtf8(reinterpret_cast<const char*>(text.data()), static_cast<qsizetype>(text.size()));
}

// Two rows of five boxes fill the page width; the rows sit close together so that the ID box, the
// buttons and the group below them still fit into the page's 598 pixels.
constexpr int kBoxSize = 200;
constexpr int kLeft = 16;
constexpr int kColumnStep = 216;
constexpr int kCaptionHeight = 20;
constexpr int kRowTops[2] = {14, 238};
constexpr int kBottomTop = 464;
constexpr int kBottomHeight = 126;
constexpr int kControlsLeft = 960;
constexpr int kControlsWidth = 120;

// Where each channel's box is: channels 6 to 10 fill the upper row, 1 to 5 the lower one.
struct BoxPlace {
    int row;
    int column;
};
constexpr BoxPlace placeOf(std::size_t channel) {
    return channel < 5 ? BoxPlace{1, static_cast<int>(channel)} : BoxPlace{0, static_cast<int>(channel - 5)};
}

// Caption labels are numbered from the upper row: 标签52 is under 图片框6, 标签57 under 图片框1.
int captionNumber(std::size_t channel) {
    return channel < 5 ? 57 + static_cast<int>(channel) : 52 + static_cast<int>(channel - 5);
}

// What a worker hands back: the ten pictures, the report that stopped it, or neither when a newer
// click replaced it.
struct GenerationOutcome {
    std::optional<channel_qr::ChannelPictures> pictures;
    std::optional<channel_qr::GenerationError> error;
};

} // namespace

ChannelQrPanel::ChannelQrPanel(QWidget* pageBox, PictureMaker makePicture)
    : QWidget(pageBox), m_makePicture(std::move(makePicture)) {
    if (!m_makePicture)
        m_makePicture = [](const channel_qr::ChannelLink& link, channel_qr::PictureSize size) {
            return channel_qr::makeChannelPicture(link, size);
        };
    setObjectName(QStringLiteral("ChannelQrPanel"));
    setGeometry(pageBox->rect());

    for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
        const BoxPlace place = placeOf(channel);
        const int left = kLeft + place.column * kColumnStep;
        const int top = kRowTops[place.row];

        auto* box = new QLabel(this);
        box->setObjectName(QStringLiteral("图片框%1").arg(channel + 1));
        box->setGeometry(left, top, kBoxSize, kBoxSize);
        box->setAlignment(Qt::AlignCenter);
        // A light outline shows where each code will appear before any is made.
        box->setStyleSheet(QStringLiteral("QLabel { border: 1px dashed #c9ced6; background: #fafbfc; }"));
        m_pictureBoxes[channel] = box;

        auto* caption = new QLabel(fromUtf8(channel_qr::kChannels[channel].caption), this);
        caption->setObjectName(QStringLiteral("标签%1").arg(captionNumber(channel)));
        caption->setGeometry(left, top + kBoxSize + 2, kBoxSize, kCaptionHeight);
        caption->setAlignment(Qt::AlignCenter);
    }

    auto* outerGroup = new QGroupBox(this);
    outerGroup->setObjectName(QStringLiteral("分组框15"));
    outerGroup->setGeometry(kLeft, kBottomTop, kControlsLeft - 8 - kLeft, kBottomHeight);
    auto* innerGroup = new QGroupBox(outerGroup);
    innerGroup->setObjectName(QStringLiteral("分组框16"));
    innerGroup->setGeometry(8, 14, outerGroup->width() - 16, kBottomHeight - 22);
    auto* emptyLabel = new QLabel(innerGroup);
    emptyLabel->setObjectName(QStringLiteral("标签62"));
    emptyLabel->setGeometry(8, 16, innerGroup->width() - 16, kCaptionHeight);

    m_idBox = new QLineEdit(QStringLiteral("在这输入商品ID"), this);
    m_idBox->setObjectName(QStringLiteral("编辑框41"));
    m_idBox->setGeometry(kControlsLeft, kBottomTop, kControlsWidth, 32);
    m_idBox->installEventFilter(this);

    auto* generateButton = new QPushButton(QStringLiteral("生成渠道二维码"), this);
    generateButton->setObjectName(QStringLiteral("按钮19"));
    generateButton->setGeometry(kControlsLeft, kBottomTop + 39, kControlsWidth, 40);
    connect(generateButton, &QPushButton::clicked, this, &ChannelQrPanel::generate);

    m_saveButton = new QPushButton(QStringLiteral("保存二维码到本地"), this);
    m_saveButton->setObjectName(QStringLiteral("按钮20"));
    m_saveButton->setGeometry(kControlsLeft, kBottomTop + 86, kControlsWidth, 40);
    connect(m_saveButton, &QPushButton::clicked, this, &ChannelQrPanel::save);
}

bool ChannelQrPanel::eventFilter(QObject* watched, QEvent* event) {
    // Every left press empties the ID box; the press still goes on to place the caret.
    if (watched == m_idBox && event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        m_idBox->clear();
    return QWidget::eventFilter(watched, event);
}

void ChannelQrPanel::generate() {
    const std::string productId = channel_qr::productIdFrom(m_idBox->text().toStdString());
    if (productId.empty()) {
        ui::showMessage(this, QStringLiteral("商品ID必须要填写"), QStringLiteral("不填ID生成个鬼啊！"),
                        ui::MessageIcon::Error);
        return;
    }

    const ui::LatestJob::Number generation = m_generations.start();
    m_generating = true;
    // The boxes show one product only: the new codes replace all of the old ones.
    clearPictures();

    const channel_qr::PictureSize size{m_pictureBoxes[0]->width(), m_pictureBoxes[0]->height()};
    ui::runInBackground(
        this,
        [this, productId, size, generation, overtaken = m_generations.overtaken(generation),
         makePicture = m_makePicture](ui::JobContext& context) {
            const channel_qr::ChannelLinks links = channel_qr::channelLinks(productId);
            GenerationOutcome outcome;
            channel_qr::ChannelPictures pictures;
            for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
                if (context.stopRequested() || overtaken())
                    return outcome;
                auto picture = makePicture(links[channel], size);
                if (!picture) {
                    outcome.error = channel_qr::GenerationError{channel, std::move(picture.error())};
                    return outcome;
                }
                // Runs on the UI thread, and only while this panel lives.
                context.postToUi([this, generation, channel, bmp = picture->bmp] {
                    if (m_generations.isLatest(generation))
                        showPicture(channel, bmp);
                });
                pictures[channel] = std::move(*picture);
            }
            outcome.pictures = std::move(pictures);
            return outcome;
        },
        [this, productId, generation](GenerationOutcome outcome) {
            if (!m_generations.isLatest(generation))
                return;
            m_generating = false;
            if (outcome.pictures)
                m_completed = Completed{productId, std::move(*outcome.pictures)};
            Q_EMIT generationFinished();
            if (outcome.error)
                ui::showMessage(this, fromUtf8(qr::describe(outcome.error->report)),
                                fromUtf8(qr::kErrorTitle), ui::MessageIcon::Error);
        });
}

void ChannelQrPanel::save() {
    const std::string productId = channel_qr::productIdFrom(m_idBox->text().toStdString());
    if (productId.empty()) {
        ui::showMessage(this, QStringLiteral("检测到商品ID目录为空"), QStringLiteral("保存失败"));
        return;
    }
    if (!m_completed || m_completed->productId != productId) {
        ui::showMessage(this,
                        QStringLiteral("还没有为这个商品ID生成渠道二维码。请先点击“生成渠道二维码”，"
                                       "等十个二维码都生成后再保存。"),
                        QStringLiteral("保存失败"), ui::MessageIcon::Warning);
        return;
    }

    if (m_saving)
        return;
    // Ten files, each written through to the disk: on a slow or network disk that takes a while, so
    // it runs on a worker, from a copy that a newer generation cannot change.
    m_saving = true;
    m_saveButton->setEnabled(false);
    ui::runInBackground(
        this,
        [pictures = m_completed->pictures, directory = platform::runDirectory()](ui::JobContext& context) {
            // Quitting stops the save between files, so no temporary is left behind.
            return channel_qr::savePictures(directory, pictures,
                                            [&context] { return context.stopRequested(); });
        },
        [this](std::expected<std::filesystem::path, channel_qr::SaveError> saved) {
            m_saving = false;
            m_saveButton->setEnabled(true);
            Q_EMIT saveFinished();
            if (!saved) {
                ui::showMessage(this,
                                QStringLiteral("二维码没有保存成功，无法写入：\n%1\n原因：%2")
                                    .arg(displayPath(saved.error().path), fromUtf8(saved.error().reason)),
                                QStringLiteral("保存失败"), ui::MessageIcon::Error);
                return;
            }
            ui::showMessage(this, QStringLiteral("二维码已经成功保存到程序运行目录"),
                            QStringLiteral("渠道码已经保存成功！"));
        });
}

void ChannelQrPanel::clearPictures() {
    for (QLabel* box : m_pictureBoxes) {
        box->clear();
        box->setProperty("pictureBytes", QByteArray());
    }
}

void ChannelQrPanel::showPicture(std::size_t channel, const std::vector<std::uint8_t>& bmp) {
    const QByteArray bytes(reinterpret_cast<const char*>(bmp.data()), static_cast<qsizetype>(bmp.size()));
    QPixmap pixmap;
    pixmap.loadFromData(bytes, "BMP");
    QLabel* box = m_pictureBoxes[channel];
    box->setPixmap(pixmap);
    // The box keeps the exact bytes it was given, as the files receive them.
    box->setProperty("pictureBytes", bytes);
}
