#include "tools/decoration/ui/decoration_panel.h"

#include "app/support/background_job.h"
#include "app/support/message_box.h"
#include "platform/run_directory.h"
#include "platform/window_input.h"
#include "tools/decoration/page_runner.h"
#include "tools/decoration/run_settings.h"
#include "tools/decoration/step_script.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSocketNotifier>

namespace {

// Qt breaks lines at LF; the lines themselves are the tab's help text.
const QString kHelpText = QStringLiteral("操作步骤：\n\n\n"
                                         "1、打开谷歌浏览器，登录批量投放的详情装修页面。\n\n"
                                         "2、点击“开始”按钮，程序会在后台开始运行。\n\n"
                                         "*、系统默认操作延时500毫秒，可以根据网络延迟、电脑配置调参数\n"
                                         "(动作延迟数值越低，操作越快，生成延迟建议根据生成速度调整)\n\n"
                                         "*、网络延迟或者电脑性能因素影响，如果操作出错，可以从新开始。\n");

QLabel* addLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

QLineEdit* addEdit(QWidget* parent, const QString& name, const QString& text, const QRect& geometry) {
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    edit->setGeometry(geometry);
    return edit;
}

QPushButton* addButton(QWidget* parent, const QString& name, const QString& caption, const QRect& geometry) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    return button;
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString pathText(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return fromUtf8(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
}

std::filesystem::path utf8Path(std::string_view text) {
    return std::filesystem::path(std::u8string(reinterpret_cast<const char8_t*>(text.data()), text.size()));
}

QString settingsProblem(const decoration::SettingsError& error) {
    switch (error.field) {
    case decoration::SettingsError::Field::ActionDelay:
        return QStringLiteral("“动作延迟”必须是 1 到 %1 之间的整数（毫秒）。").arg(error.maximum);
    case decoration::SettingsError::Field::GenerationDelay:
        return QStringLiteral("“生成延迟”必须是 1 到 %1 之间的整数（毫秒）。").arg(error.maximum);
    case decoration::SettingsError::Field::Pages:
        return QStringLiteral("“商品页数”必须是 1 到 %1 之间的整数。").arg(error.maximum);
    }
    return {};
}

QString scriptProblem(const decoration::ScriptError& error, const QString& file) {
    switch (error.kind) {
    case decoration::ScriptError::Kind::Syntax:
        return QStringLiteral("步骤文件第 %1 行无法识别：\n%2\n\n文件：%3")
            .arg(error.line)
            .arg(fromUtf8(error.detail), file);
    case decoration::ScriptError::Kind::Empty:
        return QStringLiteral("步骤文件里没有任何按键或点击步骤。\n\n文件：%1").arg(file);
    case decoration::ScriptError::Kind::Unreadable:
        return QStringLiteral("无法读取步骤文件：%1\n%2").arg(file, fromUtf8(error.detail));
    }
    return {};
}

// What a run hands back to the UI thread.
struct RunOutcome {
    std::optional<platform::DesktopError> noDesktop;
    decoration::RunReport report;
};

} // namespace

DecorationPanel::DecorationPanel(QWidget* pageBox) : QWidget(pageBox) {
    setGeometry(pageBox->rect());

    auto* help = addLabel(this, QStringLiteral("标签34"), kHelpText, QRect(21, 8, 432, 157));
    help->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    help->setWordWrap(true);

    auto* settingsBox = new QGroupBox(this);
    settingsBox->setObjectName(QStringLiteral("分组框12"));
    settingsBox->setGeometry(9, 166, 456, 140);

    struct Row {
        const char* label;
        const char* labelName;
        const char* editName;
        const char* initial;
        const char* unit;
        const char* unitName;
    };
    const Row rows[] = {
        {"动作延迟：", "标签35", "编辑框21", "500", "毫秒", "标签36"},
        {"生成延迟：", "标签37", "编辑框22", "22000", "毫秒", "标签38"},
        {"商品页数：", "标签39", "编辑框29", "20", "页", "标签40"},
    };
    QLineEdit* edits[3] = {};
    for (int i = 0; i < 3; ++i) {
        const int top = 14 + i * 30;
        addLabel(settingsBox, QString::fromUtf8(rows[i].labelName), QString::fromUtf8(rows[i].label),
                 QRect(12, top, 70, 24));
        edits[i] = addEdit(settingsBox, QString::fromUtf8(rows[i].editName),
                           QString::fromUtf8(rows[i].initial), QRect(82, top, 76, 24));
        addLabel(settingsBox, QString::fromUtf8(rows[i].unitName), QString::fromUtf8(rows[i].unit),
                 QRect(162, top, 30, 24));
    }
    m_actionDelay = edits[0];
    m_generationDelay = edits[1];
    m_pages = edits[2];

    m_status = addLabel(settingsBox, QStringLiteral("标签41"), QString(), QRect(12, 104, 184, 30));
    m_status->setWordWrap(true);

    m_startButton = addButton(settingsBox, QStringLiteral("按钮10"), QStringLiteral("开始（F7）"),
                              QRect(200, 12, 120, 120));
    auto* endButton = addButton(settingsBox, QStringLiteral("按钮11"), QStringLiteral("结束（F8）"),
                                QRect(326, 12, 120, 120));

    connect(m_startButton, &QPushButton::clicked, this, &DecorationPanel::start);
    connect(endButton, &QPushButton::clicked, this, &DecorationPanel::releaseHotkeys);
}

DecorationPanel::~DecorationPanel() {
    stop();
}

void DecorationPanel::activateHotkeys() {
    if (!m_hotkeys) {
        if (m_hotkeysUnavailable)
            return;
        auto opened = platform::openGlobalHotkeys();
        if (!opened) {
            // Without a desktop the buttons still work; nothing to say until the user presses start.
            m_hotkeysUnavailable = opened.error();
            return;
        }
        m_hotkeys = std::move(*opened);
        // A press may arrive in the middle of reading events; acting on it later keeps a message box
        // that start may show from nesting inside that read.
        m_hotkeys->setPressHandler([this](platform::Hotkey key) {
            QMetaObject::invokeMethod(
                this, [this, key] { onHotkey(key); }, Qt::QueuedConnection);
        });
        if (const int descriptor = m_hotkeys->eventDescriptor(); descriptor >= 0) {
            m_hotkeyNotifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, this);
            connect(m_hotkeyNotifier, &QSocketNotifier::activated, this,
                    [this] { m_hotkeys->processPendingEvents(); });
        }
    }
    if (m_hotkeys->held())
        return;
    if (auto grabbed = m_hotkeys->grab(); !grabbed) {
        setStatus(grabbed.error().kind == platform::DesktopError::Kind::KeyTaken
                      ? QStringLiteral("F7/F8 已被其他程序占用，请用按钮操作")
                      : QStringLiteral("F7/F8 不可用，请用按钮操作"));
        return;
    }
    m_hotkeys->processPendingEvents();
    if (!m_running)
        setStatus(QStringLiteral("F7 开始，F8 结束"));
}

void DecorationPanel::releaseHotkeys() {
    stop();
    if (m_hotkeys && m_hotkeys->held()) {
        m_hotkeys->release();
        if (!m_running)
            setStatus(QStringLiteral("快捷键已释放"));
    }
}

void DecorationPanel::onHotkey(platform::Hotkey key) {
    if (key == platform::Hotkey::F7)
        start();
    else
        stop();
}

void DecorationPanel::stop() {
    if (m_stopRequest)
        *m_stopRequest = true;
}

void DecorationPanel::setStatus(const QString& text) {
    m_status->setText(text);
}

void DecorationPanel::start() {
    if (m_running)
        return;
    const auto settings = decoration::parseRunSettings(m_actionDelay->text().toUtf8().toStdString(),
                                                       m_generationDelay->text().toUtf8().toStdString(),
                                                       m_pages->text().toUtf8().toStdString());
    if (!settings) {
        ui::showMessage(this, settingsProblem(settings.error()), QStringLiteral("设置有误"),
                        ui::MessageIcon::Warning);
        return;
    }
    const std::filesystem::path scriptPath =
        platform::runDirectory() / utf8Path(decoration::kStepScriptFileName);
    const auto steps = decoration::loadStepScript(scriptPath);
    if (!steps) {
        const bool unreadable = steps.error().kind == decoration::ScriptError::Kind::Unreadable;
        ui::showMessage(this, scriptProblem(steps.error(), pathText(scriptPath)),
                        QStringLiteral("步骤文件有误"),
                        unreadable ? ui::MessageIcon::Error : ui::MessageIcon::Warning);
        return;
    }

    m_running = true;
    m_startButton->setEnabled(false);
    auto stopRequest = std::make_shared<std::atomic<bool>>(false);
    m_stopRequest = stopRequest;
    setStatus(QStringLiteral("正在查找浏览器窗口……"));

    ui::runInBackground(
        this,
        [this, stopRequest, steps = *steps, settings = *settings](ui::JobContext& context) {
            RunOutcome outcome;
            auto input = platform::openWindowInput();
            if (!input) {
                outcome.noDesktop = input.error();
                return outcome;
            }
            decoration::SlicedPause pause;
            decoration::RunHooks hooks;
            hooks.stopRequested = [&] { return stopRequest->load() || context.stopRequested(); };
            // Runs on the UI thread, and only while this panel exists.
            hooks.pageStarted = [&](int page, int pages) {
                context.postToUi([this, page, pages] {
                    setStatus(QStringLiteral("正在处理第 %1/%2 页").arg(page).arg(pages));
                });
            };
            outcome.report = decoration::runDecoration(**input, steps, settings, pause, hooks);
            return outcome;
        },
        [this, stopRequest](RunOutcome outcome) {
            m_running = false;
            m_startButton->setEnabled(true);
            if (m_stopRequest == stopRequest)
                m_stopRequest.reset();
            if (outcome.noDesktop) {
                setStatus(QStringLiteral("无法连接桌面"));
                ui::showMessage(this, QStringLiteral("无法连接到桌面，不能操作浏览器窗口。"),
                                QStringLiteral("无法操作桌面"), ui::MessageIcon::Error);
                return;
            }
            const int done = outcome.report.pagesDone;
            switch (outcome.report.end) {
            case decoration::RunEnd::Finished:
                setStatus(QStringLiteral("已完成 %1 页").arg(done));
                break;
            case decoration::RunEnd::Stopped:
                setStatus(QStringLiteral("已停止，完成 %1 页").arg(done));
                break;
            case decoration::RunEnd::NoWindow:
                setStatus(QStringLiteral("未找到浏览器窗口"));
                ui::showMessage(this,
                                QStringLiteral("没有找到“旺铺-商品装修 - Google Chrome”浏览器窗口。\n"
                                               "请先用谷歌浏览器打开并登录批量投放的详情装修页面。"),
                                QStringLiteral("未找到浏览器窗口"), ui::MessageIcon::Warning);
                break;
            case decoration::RunEnd::WindowClosed:
                setStatus(QStringLiteral("浏览器窗口已关闭，完成 %1 页").arg(done));
                ui::showMessage(this, QStringLiteral("浏览器窗口已关闭，已完成 %1 页。").arg(done),
                                QStringLiteral("浏览器窗口已关闭"), ui::MessageIcon::Warning);
                break;
            }
        });
}
