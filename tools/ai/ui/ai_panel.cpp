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

    GeneratorUi& encyclopedia = m_generators[0];
    encyclopedia.generator = ai::Generator::Encyclopedia;
    encyclopedia.placeholder = QStringLiteral("输入不懂的问题或概念，为你科普");
    encyclopedia.emptyMessage = QStringLiteral("查询信息不能为空");
    buildPage(tabs, encyclopedia, QStringLiteral("知识小百科"), QStringLiteral("标签49"),
              QStringLiteral("想要问："), QStringLiteral("编辑框35"), QStringLiteral("按钮16"),
              QStringLiteral("编辑框36"), QStringLiteral("时钟2"));

    GeneratorUi& article = m_generators[1];
    article.generator = ai::Generator::Article;
    article.placeholder = QStringLiteral("输入文章关键词，生成1篇原创文章");
    article.emptyMessage = QStringLiteral("文章的关键词，或关键句子不能为空");
    buildPage(tabs, article, QStringLiteral("写文章小助手"), QStringLiteral("标签50"),
              QStringLiteral("关键词："), QStringLiteral("编辑框37"), QStringLiteral("按钮17"),
              QStringLiteral("编辑框38"), QStringLiteral("时钟3"));

    GeneratorUi& script = m_generators[2];
    script.generator = ai::Generator::VideoScript;
    script.placeholder = QStringLiteral("输入拍摄主题，生成一个短视频脚本");
    script.emptyMessage = QStringLiteral("拍摄主题词不能为空");
    buildPage(tabs, script, QStringLiteral("短视频脚本生成器"), QStringLiteral("标签51"),
              QStringLiteral("主题词："), QStringLiteral("编辑框39"), QStringLiteral("按钮18"),
              QStringLiteral("编辑框40"), QStringLiteral("时钟4"));
}

void AiPanel::buildPage(QTabWidget* tabs, GeneratorUi& generator, const QString& caption,
                        const QString& labelName, const QString& labelText, const QString& inputName,
                        const QString& buttonName, const QString& outputName, const QString& timerName) {
    auto* page = new QWidget;
    tabs->addTab(page, caption);

    auto* label = new QLabel(labelText, page);
    label->setObjectName(labelName);

    generator.input = new QLineEdit(generator.placeholder, page);
    generator.input->setObjectName(inputName);
    generator.input->setMinimumHeight(32);
    generator.input->setCursorPosition(0);
    generator.input->installEventFilter(this);

    generator.button = new QPushButton(QStringLiteral("生成"), page);
    generator.button->setObjectName(buttonName);
    generator.button->setMinimumHeight(36);
    // Wide enough for the longest count-down caption, so the button never changes size.
    generator.button->setMinimumWidth(
        generator.button->fontMetrics().horizontalAdvance(QStringLiteral("生成20")) + 16);

    generator.output = new QPlainTextEdit(page);
    generator.output->setObjectName(outputName);

    generator.timer = new QTimer(this);
    generator.timer->setObjectName(timerName);
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
