#include "tools/ai/ui/ai_panel.h"

#include "message_recorder.h"
#include "mock_http_server.h"
#include "tidy_layout.h"

#include <QAbstractButton>
#include <QDialog>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

namespace {

using namespace std::chrono_literals;
using testsupport::MockHttpServer;
using testsupport::MockResponse;

constexpr char kPath[] = "/api/create-completion";

struct GeneratorNames {
    const char* input;
    const char* button;
    const char* output;
    const char* timer;
    const char* placeholder;
    const char* emptyMessage;
    const char* templateName;
};

const GeneratorNames kGenerators[] = {
    {"编辑框35", "按钮16", "编辑框36", "时钟2", "输入不懂的问题或概念，为你科普", "查询信息不能为空",
     "encyclopedia"},
    {"编辑框37", "按钮17", "编辑框38", "时钟3", "输入文章关键词，生成1篇原创文章",
     "文章的关键词，或关键句子不能为空", "blog-generator"},
    {"编辑框39", "按钮18", "编辑框40", "时钟4", "输入拍摄主题，生成一个短视频脚本", "拍摄主题词不能为空",
     "video-script-creator"},
};

MockResponse answer(const std::string& body, int status = 200) {
    MockResponse response;
    response.status = status;
    response.body = body;
    return response;
}

class AiPanelTest : public testing::Test {
protected:
    void SetUp() override {
        setenv("VARROW_AI_SERVICE_HOST", server.baseUrl().c_str(), 1);
        setenv("VARROW_AI_WEB_HOST", "web.example.test", 1);
        setenv("VARROW_AI_ACCESS_TOKEN", "access.token.value", 1);
        setenv("VARROW_AI_REFRESH_TOKEN", "refresh.token.value", 1);
        mainWindow = new QWidget;
        mainWindow->resize(1113, 657);
        panel = new AiPanel(mainWindow, mainWindow);
        panel->setClock([this] { return now; });
        mainWindow->show();
    }
    void TearDown() override { delete mainWindow; }

    template <class Widget> Widget* child(const char* name) const {
        Widget* widget = panel->findChild<Widget*>(QString::fromUtf8(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QLineEdit* input(int g) const { return child<QLineEdit>(kGenerators[g].input); }
    QPushButton* button(int g) const { return child<QPushButton>(kGenerators[g].button); }
    QPlainTextEdit* output(int g) const { return child<QPlainTextEdit>(kGenerators[g].output); }
    QTimer* timer(int g) const { return child<QTimer>(kGenerators[g].timer); }

    // One tick of a generator's one-second timer, after `step` of (fake) time.
    void tick(int g, std::chrono::milliseconds step = 1s) {
        now += step;
        QMetaObject::invokeMethod(timer(g), "timeout");
    }
    bool waitForOutput(int g, const QString& text) {
        return QTest::qWaitFor([&] { return output(g)->toPlainText() == text; }, 10000);
    }

    MockHttpServer server;
    MessageRecorder messages;
    std::chrono::steady_clock::time_point now{std::chrono::hours(5)};
    QPointer<QWidget> mainWindow;
    AiPanel* panel = nullptr;
};

TEST_F(AiPanelTest, OpensWithPlaceholdersAndIdleButtons) {
    EXPECT_EQ(panel->objectName(), QStringLiteral("分组框13"));
    EXPECT_EQ(panel->title(), QStringLiteral("AI助手（免费接口，限制20-30秒左右生成一次）"));
    auto* tabs = child<QTabWidget>("选择夹2");
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), QStringLiteral("知识小百科"));
    EXPECT_EQ(tabs->tabText(1), QStringLiteral("写文章小助手"));
    EXPECT_EQ(tabs->tabText(2), QStringLiteral("短视频脚本生成器"));
    EXPECT_EQ(child<QLabel>("标签49")->text(), QStringLiteral("想要问："));
    EXPECT_EQ(child<QLabel>("标签50")->text(), QStringLiteral("关键词："));
    EXPECT_EQ(child<QLabel>("标签51")->text(), QStringLiteral("主题词："));
    for (int g = 0; g < 3; ++g) {
        EXPECT_EQ(input(g)->text(), QString::fromUtf8(kGenerators[g].placeholder));
        EXPECT_EQ(button(g)->text(), QStringLiteral("生成"));
        EXPECT_TRUE(button(g)->isEnabled());
        EXPECT_FALSE(timer(g)->isActive());
    }
}

TEST_F(AiPanelTest, EveryPageShowsItsControlsWhole) {
    EXPECT_EQ(panel->geometry(), QRect(710, 10, 384, 580));
    auto* tabs = child<QTabWidget>("选择夹2");
    expectTidyLayout(panel);
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        QTest::qWait(0);
        expectTidyLayout(tabs->widget(page));
        // The longest count-down caption fits the button as well.
        QPushButton* generate = button(page);
        EXPECT_GE(generate->width(), generate->fontMetrics().horizontalAdvance(QStringLiteral("生成19")) + 8);
    }
}

TEST_F(AiPanelTest, ClickingIntoThePlaceholderClearsItButKeepsTypedText) {
    child<QTabWidget>("选择夹2")->setCurrentIndex(1);
    QTest::mouseClick(input(1), Qt::LeftButton);
    EXPECT_TRUE(input(1)->text().isEmpty());
    input(1)->setText(QStringLiteral("机械键盘"));
    QTest::mouseClick(input(1), Qt::LeftButton);
    EXPECT_EQ(input(1)->text(), QStringLiteral("机械键盘"));
    QTest::mouseClick(input(1), Qt::RightButton);
    EXPECT_EQ(input(1)->text(), QStringLiteral("机械键盘"));
}

TEST_F(AiPanelTest, EmptyInputIsRefusedWithTheGeneratorsMessage) {
    for (int g = 0; g < 3; ++g) {
        input(g)->clear();
        button(g)->click();
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.last().text, QString::fromUtf8(kGenerators[g].emptyMessage));
        EXPECT_EQ(messages.last().caption, QStringLiteral("错误提示"));
        EXPECT_EQ(messages.last().icon, ui::MessageIcon::Warning);
        EXPECT_TRUE(button(g)->isEnabled());
        EXPECT_FALSE(timer(g)->isActive());
    }
    QTest::qWait(50);
    EXPECT_TRUE(server.requests().empty());
}

TEST(AiPanelInModalWindow, EmptyInputMessageLeavesTheStayOnTopMainWindowOpen) {
    MessageRecorder messages;
    QDialog mainWindow;
    mainWindow.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    auto* panel = new AiPanel(&mainWindow, &mainWindow);
    bool openAfterMessage = false;
    QTimer::singleShot(0, &mainWindow, [&] {
        panel->findChild<QLineEdit*>(QStringLiteral("编辑框35"))->clear();
        panel->findChild<QPushButton*>(QStringLiteral("按钮16"))->click();
        QTimer::singleShot(50, &mainWindow, [&] {
            openAfterMessage = mainWindow.isVisible();
            mainWindow.done(7);
        });
    });
    EXPECT_EQ(mainWindow.exec(), 7); // ended by the test, not by the message
    EXPECT_TRUE(openAfterMessage);
    EXPECT_EQ(messages.messages().size(), 1u);
    EXPECT_TRUE(mainWindow.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(AiPanelTest, SendsEachGeneratorsRequestAndShowsTheAnswerInParagraphs) {
    server.on(kPath, answer("第一段。第二段。"));
    for (int g = 0; g < 3; ++g) {
        const QString typed = QStringLiteral("主题 %1").arg(g);
        input(g)->setText(typed);
        button(g)->click();
        ASSERT_TRUE(waitForOutput(g, QStringLiteral("第一段。\n\n第二段。\n\n"))) << g;

        const auto request = server.lastRequest();
        ASSERT_TRUE(request.has_value());
        EXPECT_EQ(request->method, "POST");
        EXPECT_EQ(request->path, kPath);
        const QJsonObject body = QJsonDocument::fromJson(QByteArray::fromStdString(request->body)).object();
        EXPECT_EQ(body.value(QStringLiteral("templateName")).toString().toStdString(),
                  kGenerators[g].templateName);
        EXPECT_EQ(body.value(QStringLiteral("input")).toString(), typed);
        EXPECT_EQ(body.value(QStringLiteral("stream")), QJsonValue(true));
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(AiPanelTest, RequestCarriesValidJsonItsRealLengthAndNoPseudoHeaders) {
    server.on(kPath, answer("好的。"));
    const QString typed = QStringLiteral("他说\"C:\\temp\"\n可以吗？");
    input(0)->setText(typed);
    button(0)->click();
    ASSERT_TRUE(waitForOutput(0, QStringLiteral("好的。\n\n")));

    const auto request = server.lastRequest();
    ASSERT_TRUE(request.has_value());
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(request->body), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << request->body;
    EXPECT_EQ(document.object().value(QStringLiteral("input")).toString(), typed);
    EXPECT_EQ(request->body.rfind("{\"templateName\":\"encyclopedia\",\"input\":", 0), 0u);

    EXPECT_EQ(request->header("Content-Length").value_or(""), std::to_string(request->body.size()));
    EXPECT_EQ(request->headerCount("Content-Length"), 1u);
    EXPECT_EQ(request->header("Content-Type").value_or(""), "application/json");
    EXPECT_EQ(request->header("Origin").value_or(""), "https://web.example.test");
    EXPECT_EQ(request->header("Referer").value_or(""), "https://web.example.test/");
    EXPECT_EQ(request->header("Sec-Ch-Ua-Mobile").value_or(""), "?0");
    EXPECT_EQ(request->header("Cookie").value_or(""),
              "x-jike-access-token=access.token.value; x-jike-refresh-token=refresh.token.value");
    for (const auto& [name, value] : request->headers) {
        EXPECT_FALSE(name.empty()) << value;
        EXPECT_NE(name.front(), ':') << name;
    }
}

TEST_F(AiPanelTest, UntouchedPromptIsSentAsTheInput) {
    server.on(kPath, answer("好。"));
    button(1)->click();
    ASSERT_TRUE(waitForOutput(1, QStringLiteral("好。\n\n")));
    const auto request = server.lastRequest();
    ASSERT_TRUE(request.has_value());
    const QJsonObject body = QJsonDocument::fromJson(QByteArray::fromStdString(request->body)).object();
    EXPECT_EQ(body.value(QStringLiteral("input")).toString(), QString::fromUtf8(kGenerators[1].placeholder));
}

TEST_F(AiPanelTest, ErrorPagesOfTheServiceAreNotShownAsTheAnswer) {
    const MockResponse errors[] = {
        answer("{\"error\":\"请求太频繁，请稍后再试。\"}", 429),
        answer("<html><body>401 Unauthorized。</body></html>", 401),
        answer("<h1>Internal Server Error</h1>", 500),
    };
    for (int g = 0; g < 3; ++g) {
        server.on(kPath, errors[g]);
        output(g)->setPlainText(QStringLiteral("上一次的回答"));
        input(g)->setText(QStringLiteral("问题"));
        button(g)->click();
        EXPECT_TRUE(waitForOutput(g, QString())) << errors[g].status;
    }
    EXPECT_EQ(server.requests().size(), 3u);
    EXPECT_TRUE(messages.empty());
}

TEST_F(AiPanelTest, AnswerLargerThanOneMebibyteFailsTheRequest) {
    server.on(kPath, answer(std::string((std::size_t{1} << 20) + 1, 'x')));
    output(0)->setPlainText(QStringLiteral("上一次的回答"));
    input(0)->setText(QStringLiteral("问题"));
    button(0)->click();
    EXPECT_TRUE(waitForOutput(0, QString()));
    EXPECT_EQ(server.requests().size(), 1u);
}

TEST_F(AiPanelTest, LongAnswerIsShownUpToTheDisplayLimit) {
    // Under the size limit, but far more than a text box should lay out at once.
    std::string body;
    QString formatted;
    while (formatted.size() < 300000) {
        body += "一二三四五六七八九。";
        formatted += QStringLiteral("一二三四五六七八九。\n\n");
    }
    server.on(kPath, answer(body));
    input(1)->setText(QStringLiteral("关键词"));
    button(1)->click();
    EXPECT_TRUE(waitForOutput(1, formatted.left(100000))) << output(1)->toPlainText().size();
}

TEST_F(AiPanelTest, AnOlderSlowerAnswerDoesNotReplaceTheNewerOne) {
    server.on(kPath, [](const testsupport::RecordedRequest& request) {
        MockResponse response = answer("新的回答。");
        if (request.body.find("慢") != std::string::npos) {
            response = answer("旧的回答。");
            response.delay = 500ms;
        }
        return response;
    });
    input(0)->setText(QStringLiteral("慢的问题"));
    button(0)->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.requests().empty(); }, 10000));
    tick(0, 20s); // the cool-down is over, the first answer still on its way
    ASSERT_TRUE(button(0)->isEnabled());
    input(0)->setText(QStringLiteral("快的问题"));
    button(0)->click();
    ASSERT_TRUE(waitForOutput(0, QStringLiteral("新的回答。\n\n")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests().size() == 2; }, 10000));
    QTest::qWait(800); // the first answer arrives meanwhile
    EXPECT_EQ(output(0)->toPlainText(), QStringLiteral("新的回答。\n\n"));
}

TEST_F(AiPanelTest, AnswerWithoutFullStopIsShownUnchanged) {
    server.on(kPath, answer("没有句号的回答\n第二行"));
    input(2)->setText(QStringLiteral("开箱"));
    button(2)->click();
    EXPECT_TRUE(waitForOutput(2, QStringLiteral("没有句号的回答\n第二行")));
}

TEST_F(AiPanelTest, EmptyOrFailedAnswerEmptiesTheOutputBox) {
    server.on(kPath, answer(""));
    output(0)->setPlainText(QStringLiteral("上一次的回答"));
    input(0)->setText(QStringLiteral("问题"));
    button(0)->click();
    EXPECT_TRUE(waitForOutput(0, QString()));
    EXPECT_EQ(server.requests().size(), 1u);

    {
        MockHttpServer gone; // nothing listens here once it is destroyed
        setenv("VARROW_AI_SERVICE_HOST", gone.baseUrl().c_str(), 1);
    }
    output(1)->setPlainText(QStringLiteral("上一次的回答"));
    input(1)->setText(QStringLiteral("关键词"));
    button(1)->click();
    EXPECT_TRUE(waitForOutput(1, QString()));
    EXPECT_TRUE(messages.empty());
}

TEST_F(AiPanelTest, ButtonCoolsDownForTwentySecondsCountingInItsCaption) {
    server.on(kPath, answer("好。"));
    input(1)->setText(QStringLiteral("关键词"));
    button(1)->click();
    EXPECT_FALSE(button(1)->isEnabled());
    EXPECT_TRUE(timer(1)->isActive());
    EXPECT_EQ(timer(1)->interval(), 1000);
    EXPECT_TRUE(button(0)->isEnabled()); // generators cool down independently

    for (int left = 19; left >= 1; --left) {
        tick(1);
        EXPECT_EQ(button(1)->text(), QStringLiteral("生成%1").arg(left));
        EXPECT_FALSE(button(1)->isEnabled());
    }
    // The answer arrives during the pause and leaves the button alone.
    ASSERT_TRUE(waitForOutput(1, QStringLiteral("好。\n\n")));
    EXPECT_FALSE(button(1)->isEnabled());

    tick(1);
    EXPECT_EQ(button(1)->text(), QStringLiteral("生成"));
    EXPECT_TRUE(button(1)->isEnabled());
    EXPECT_FALSE(timer(1)->isActive());
}

TEST_F(AiPanelTest, LateTicksDoNotStretchTheCooldown) {
    server.on(kPath, answer("好。"));
    input(0)->setText(QStringLiteral("问题"));
    button(0)->click();
    tick(0, 12500ms);
    EXPECT_EQ(button(0)->text(), QStringLiteral("生成8"));
    tick(0, 7500ms);
    EXPECT_TRUE(button(0)->isEnabled());
    EXPECT_EQ(button(0)->text(), QStringLiteral("生成"));
}

TEST_F(AiPanelTest, ClosingTheWindowDuringARequestDropsTheLateAnswer) {
    MockResponse slow = answer("迟到的回答。");
    slow.delay = 400ms;
    server.on(kPath, slow);
    input(2)->setText(QStringLiteral("主题"));
    button(2)->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !server.requests().empty(); }, 10000));
    delete mainWindow;
    QTest::qWait(700); // the answer arrives after its widgets are gone
    EXPECT_TRUE(mainWindow.isNull());
    EXPECT_TRUE(messages.empty());
}

} // namespace
