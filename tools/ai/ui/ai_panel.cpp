#include "tools/ai/ui/ai_panel.h"

#include "app/support/background_job.h"
#include "app/support/message_box.h"
#include "net/endpoints.h"
#include "tools/ai/completion_client.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

ai::ServiceConfig serviceConfig() {
    return {net::endpoint(net::Endpoint::AiServiceHost), net::endpoint(net::Endpoint::AiWebFrontEndHost),
            net::endpoint(net::Endpoint::AiAccessToken), net::endpoint(net::Endpoint::AiRefreshToken)};
}

// The most the output box is given: laying out a longer text would stall the window.
constexpr qsizetype kMaxShownCharacters = 100000;

// The answer as the output box shows it, made on the worker so that the UI thread only sets it.
QString shownAnswer(const std::string& body) {
    QString text = QString::fromStdString(ai::formatAnswer(body));
    if (text.size() > kMaxShownCharacters) {
        text.truncate(kMaxShownCharacters);
        if (text.back().isHighSurrogate())
            text.chop(1);
    }
    return text;
}

} // namespace

// The three generator pages, in tab order: what each asks for and the names of its controls.
struct AiPanel::GeneratorPage {
    ai::Generator generator;
    const char16_t* caption;
    const char16_t* placeholder;
    const char16_t* emptyMessage;
    const char16_t* labelText;
    const char16_t* labelName;
    const char16_t* inputName;
    const char16_t* buttonName;
    const char16_t* outputName;
    const char16_t* timerName;
};

const AiPanel::GeneratorPage AiPanel::kPages[] = {
    {ai::Generator::Encyclopedia, u"知识小百科", u"输入不懂的问题或概念，为你科普", u"查询信息不能为空",
     u"想要问：", u"标签49", u"编辑框35", u"按钮16", u"编辑框36", u"时钟2"},
    {ai::Generator::Article, u"写文章小助手", u"输入文章关键词，生成1篇原创文章",
     u"文章的关键词，或关键句子不能为空", u"关键词：", u"标签50", u"编辑框37", u"按钮17", u"编辑框38",
     u"时钟3"},
    {ai::Generator::VideoScript, u"短视频脚本生成器", u"输入拍摄主题，生成一个短视频脚本",
     u"拍摄主题词不能为空", u"主题词：", u"标签51", u"编辑框39", u"按钮18", u"编辑框40", u"时钟4"},
};

AiPanel::AiPanel(QWidget* pageBox, QWidget* mainWindow) : QGroupBox(pageBox), m_mainWindow(mainWindow) {
    setObjectName(QStringLiteral("分组框13"));
    setTitle(QStringLiteral("AI助手（免费接口，限制20-30秒左右生成一次）"));
    // Just past what page 0 shows at its 720-pixel width: the assistant appears when the window is
    // widened, and no sliver of its frame shows at the calculators' edge.
    setGeometry(710, 10, 384, 580);

    auto* tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("选择夹2"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(7, 6, 7, 7);
    layout->addWidget(tabs);

    for (std::size_t index = 0; index < m_generators.size(); ++index)
        buildPage(tabs, m_generators[index], kPages[index]);
    static_assert(std::size(kPages) == std::tuple_size_v<decltype(m_generators)>);
}

void AiPanel::buildPage(QTabWidget* tabs, GeneratorUi& generator, const GeneratorPage& description) {
    generator.generator = description.generator;
    generator.placeholder = QString::fromUtf16(description.placeholder);
    generator.emptyMessage = QString::fromUtf16(description.emptyMessage);

    auto* page = new QWidget;
    tabs->addTab(page, QString::fromUtf16(description.caption));

    auto* label = new QLabel(QString::fromUtf16(description.labelText), page);
    label->setObjectName(QString::fromUtf16(description.labelName));

    generator.input = new QLineEdit(generator.placeholder, page);
    generator.input->setObjectName(QString::fromUtf16(description.inputName));
    generator.input->setMinimumHeight(32);
    generator.input->setCursorPosition(0);
    generator.input->installEventFilter(this);

    generator.button = new QPushButton(QStringLiteral("生成"), page);
    generator.button->setObjectName(QString::fromUtf16(description.buttonName));
    generator.button->setMinimumHeight(36);
    // Wide enough for the longest count-down caption, so the button never changes size.
    generator.button->setMinimumWidth(
        generator.button->fontMetrics().horizontalAdvance(QStringLiteral("生成20")) + 16);

    generator.output = new QPlainTextEdit(page);
    generator.output->setObjectName(QString::fromUtf16(description.outputName));

    generator.timer = new QTimer(this);
    generator.timer->setObjectName(QString::fromUtf16(description.timerName));
    generator.timer->setInterval(1000);

    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(8, 10, 8, 8);
    grid->addWidget(label, 0, 0);
    grid->addWidget(generator.input, 0, 1);
    grid->addWidget(generator.button, 0, 2);
    grid->addWidget(generator.output, 1, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(1, 1);

    connect(generator.button, &QPushButton::clicked, this, [this, &generator] { generate(generator); });
    connect(generator.timer, &QTimer::timeout, this, [this, &generator] { coolDownStep(generator); });
}

void AiPanel::setClock(const ai::Cooldown::Clock& clock) {
    for (GeneratorUi& generator : m_generators)
        generator.cooldown.setClock(clock);
}

bool AiPanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        for (GeneratorUi& generator : m_generators) {
            // The prompt is real text in the box; the first click into it clears it for typing.
            if (watched == generator.input && generator.input->text() == generator.placeholder)
                generator.input->clear();
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

void AiPanel::generate(GeneratorUi& generator) {
    const QString input = generator.input->text();
    if (input.isEmpty()) {
        // Owned by the main window, the box shows above it although the main window stays on top.
        // Switching the main window's stay-on-top flag off instead would hide the window for a moment,
        // and hiding a dialog ends its modal loop: the main window would close.
        ui::showMessage(m_mainWindow ? m_mainWindow.data() : window(), generator.emptyMessage,
                        QStringLiteral("错误提示"), ui::MessageIcon::Warning);
        return;
    }

    generator.cooldown.start();
    generator.button->setEnabled(false); // the caption starts counting at the first tick
    generator.timer->start();

    const ai::CompletionRequest request =
        ai::completionRequest(generator.generator, input.toStdString(), serviceConfig());
    // Only the generator's latest request may fill its box: an older, slower answer is dropped.
    const ui::LatestJob::Number requestNumber = generator.requests.start();
    ui::runInBackground(
        this,
        [request](ui::JobContext& context) {
            // Closing the window abandons the request instead of holding a worker until it ends.
            return shownAnswer(ai::fetchCompletion(request, [&context] { return context.stopRequested(); }));
        },
        [&generator, requestNumber](const QString& text) {
            // Runs only while this panel, and with it `generator`, lives.
            if (generator.requests.isLatest(requestNumber))
                generator.output->setPlainText(text);
        });
}

void AiPanel::coolDownStep(GeneratorUi& generator) {
    if (generator.cooldown.active()) {
        generator.button->setText(QString::fromStdString(generator.cooldown.caption()));
        return;
    }
    generator.timer->stop();
    generator.button->setEnabled(true);
    generator.button->setText(QStringLiteral("生成"));
}
