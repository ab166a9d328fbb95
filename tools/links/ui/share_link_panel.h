#pragma once

#include <QPointer>
#include <QWidget>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

/// Page "直播视频下载": trims a pasted share link to one clean link ("解析") and widens the main
/// window to its full width ("播放").
class ShareLinkPanel : public QWidget {
    Q_OBJECT
public:
    explicit ShareLinkPanel(QWidget* pageBox, QWidget* mainWindow);

    /// The main window's width after "播放".
    static constexpr int kFullWidth = 1113;

    /// "解析": writes the trimmed link of `编辑框3` into `编辑框4`.
    void trim();
    /// "播放": sets the main window's width to kFullWidth, keeping its height.
    void widenWindow();

private:
    QPointer<QWidget> m_mainWindow;
    QLineEdit* m_input = nullptr;
    QLineEdit* m_output = nullptr;
};
