#pragma once

#include "app/support/latest_job.h"
#include "tools/channel_qr/channel_pictures.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

/// The page "淘系二维码生成": ten channel codes of one product, shown and saved.
class ChannelQrPanel : public QWidget {
    Q_OBJECT
public:
    /// Makes one channel's picture on a worker thread; tests replace it to control the timing.
    using PictureMaker = std::function<std::expected<channel_qr::ChannelPicture, qr::ErrorReport>(
        const channel_qr::ChannelLink&, channel_qr::PictureSize)>;

    explicit ChannelQrPanel(QWidget* pageBox, PictureMaker makePicture = {});

    /// True while the latest generation still runs.
    bool isGenerating() const { return m_generating; }
    /// True while the shown codes are being written to disk.
    bool isSaving() const { return m_saving; }

Q_SIGNALS:
    /// The latest generation has ended: all ten codes shown, or stopped by an error report.
    void generationFinished();
    /// A save has ended (its message follows).
    void saveFinished();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void generate();
    void save();
    void clearPictures();
    void showPicture(std::size_t channel, const std::vector<std::uint8_t>& bmp);

    std::array<QLabel*, channel_qr::kChannelCount> m_pictureBoxes{};
    QLineEdit* m_idBox = nullptr;
    QPushButton* m_saveButton = nullptr;
    PictureMaker m_makePicture;

    // Each click starts a new generation; pictures of an older one are dropped, never shown.
    ui::LatestJob m_generations;
    bool m_generating = false;

    // What saving writes: the last generation that completed, and the ID it was made for.
    struct Completed {
        std::string productId;
        channel_qr::ChannelPictures pictures;
    };
    std::optional<Completed> m_completed;
    bool m_saving = false;
};
