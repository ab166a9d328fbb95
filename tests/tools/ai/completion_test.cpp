#include "tools/ai/completion.h"
#include "tools/ai/completion_client.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>

namespace {

QJsonObject parseObject(const std::string& body) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray::fromStdString(body), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << body << ": " << error.errorString().toStdString();
    return document.object();
}

TEST(CompletionBody, MatchesTheServiceFormatForPlainInput) {
    EXPECT_EQ(ai::completionBody(ai::Generator::Encyclopedia, "你好"),
              R"({"templateName":"encyclopedia","input":"你好","stream":true})");
}

TEST(CompletionBody, NamesEachGeneratorsTemplate) {
    EXPECT_EQ(ai::templateName(ai::Generator::Encyclopedia), "encyclopedia");
    EXPECT_EQ(ai::templateName(ai::Generator::Article), "blog-generator");
    EXPECT_EQ(ai::templateName(ai::Generator::VideoScript), "video-script-creator");
}

struct BodyCase {
    const char* name;
    std::string input;
    std::string expectedInput; // what a JSON reader gets back (UTF-8)
};

void PrintTo(const BodyCase& c, std::ostream* os) {
    *os << c.name;
}

class CompletionBodyRoundTrip : public testing::TestWithParam<BodyCase> {};

// Whatever the user types, the body stays valid JSON and gives the input back unchanged.
TEST_P(CompletionBodyRoundTrip, IsValidJsonWithTheInputIntact) {
    const BodyCase& c = GetParam();
    for (const ai::Generator generator : ai::kGenerators) {
        const std::string body = ai::completionBody(generator, c.input);
        // JSON allows no raw control characters inside strings (Qt's reader lets them pass).
        EXPECT_TRUE(std::ranges::none_of(body, [](unsigned char c) { return c < 0x20; })) << body;
        const QJsonObject object = parseObject(body);
        ASSERT_EQ(object.size(), 3) << body;
        EXPECT_EQ(object.value(QStringLiteral("templateName")).toString().toStdString(),
                  ai::templateName(generator));
        EXPECT_EQ(object.value(QStringLiteral("input")).toString().toStdString(), c.expectedInput);
        EXPECT_EQ(object.value(QStringLiteral("stream")), QJsonValue(true));
        // Members in the service's order, no blanks outside the strings.
        const auto templateAt = body.find("\"templateName\":");
        const auto inputAt = body.find("\"input\":");
        const auto streamAt = body.rfind(",\"stream\":true}");
        EXPECT_EQ(templateAt, 1u);
        EXPECT_LT(templateAt, inputAt);
        EXPECT_LT(inputAt, streamAt);
        EXPECT_EQ(streamAt + 15, body.size());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, CompletionBodyRoundTrip,
    testing::Values(BodyCase{"Quotes", R"(他说"好")", R"(他说"好")"},
                    BodyCase{"Backslash", R"(C:\路径\n)", R"(C:\路径\n)"},
                    BodyCase{"QuoteAndBackslash", R"(a\"b)", R"(a\"b)"},
                    BodyCase{"LineBreaksAndTab", "一\r\n二\n三\t四", "一\r\n二\n三\t四"},
                    BodyCase{"ControlCharacters",
                             std::string("a\x01\x1f\b\f", 5) + std::string(1, '\0') + "z",
                             std::string("a\x01\x1f\b\f", 5) + std::string(1, '\0') + "z"},
                    BodyCase{"FourByteCharacter", "好物😀推荐", "好物😀推荐"},
                    BodyCase{"LineSeparator", "a\u2028b\u2029c", "a\u2028b\u2029c"},
                    BodyCase{"InvalidUtf8", "a\xff\xc3z\xed\xa0\x80", "a\uFFFD\uFFFDz\uFFFD\uFFFD\uFFFD"},
                    BodyCase{"Empty", "", ""}),
    [](const testing::TestParamInfo<BodyCase>& info) { return std::string(info.param.name); });

TEST(CompletionRequest, GoesToTheServiceWithTheFrontEndAsOriginAndNoPseudoHeaders) {
    const ai::ServiceConfig config{"ai.example.test", "web.example.test", "ACCESS", "REFRESH"};
    const ai::CompletionRequest request = ai::completionRequest(ai::Generator::Article, "键盘", config);

    EXPECT_EQ(request.url, "https://ai.example.test/api/create-completion");
    EXPECT_EQ(request.body, ai::completionBody(ai::Generator::Article, "键盘"));
    EXPECT_NE(request.headers.find("content-type: application/json"), std::string::npos);
    EXPECT_NE(request.headers.find("origin: https://web.example.test\r\n"), std::string::npos);
    EXPECT_NE(request.headers.find("referer: https://web.example.test/\r\n"), std::string::npos);
    // Lines an HTTP client cannot send or must compute itself are not in the block.
    for (const std::string_view line : {"\n:", "content-length", "accept-encoding"})
        EXPECT_EQ(request.headers.find(line), std::string::npos) << line;
    EXPECT_NE(request.headers[0], ':');
    EXPECT_EQ(request.cookies, "x-jike-access-token=ACCESS; x-jike-refresh-token=REFRESH");
}

TEST(CompletionRequest, TakesAHostWithSchemeAndPortAsItIs) {
    const ai::ServiceConfig config{"http://127.0.0.1:8080/", "http://127.0.0.1:9090", "a", "r"};
    const ai::CompletionRequest request = ai::completionRequest(ai::Generator::Encyclopedia, "x", config);
    EXPECT_EQ(request.url, "http://127.0.0.1:8080/api/create-completion");
    EXPECT_NE(request.headers.find("referer: http://127.0.0.1:9090/\r\n"), std::string::npos);
}

TEST(FormatAnswer, EndsAParagraphAfterEveryFullStop) {
    struct Case {
        std::string body;
        std::string shown;
    };
    const Case cases[] = {
        {"第一句。第二句。", "第一句。\n\n第二句。\n\n"},
        {"没有句号的回答", "没有句号的回答"},
        {"", ""},
        {"。", "。\n\n"},
        {"a。b", "a。\n\nb"},
        {"{\"error\":\"busy\"}", "{\"error\":\"busy\"}"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ai::formatAnswer(c.body), c.shown) << c.body;
}

TEST(AnswerBody, KeepsOnlyTheBodyOfASuccessfulExchange) {
    struct Case {
        bool failed;
        int status;
        std::string body;
        std::string kept;
    };
    const Case cases[] = {
        {false, 200, "答案。", "答案。"},
        {false, 201, "答案。", "答案。"},
        {false, 200, "", ""},
        {false, 401, "<html>Unauthorized</html>", ""},
        {false, 429, "{\"error\":\"请求太频繁\"}", ""},
        {false, 500, "<h1>Internal Server Error</h1>", ""},
        {false, 302, "Moved", ""},
        {false, 0, "", ""},
        {true, 200, "截断的答", ""},
    };
    for (const Case& c : cases) {
        net::WebAnswer answer;
        answer.failed = c.failed;
        answer.status = c.status;
        answer.body = c.body;
        EXPECT_EQ(ai::answerBody(answer), c.kept) << c.status << (c.failed ? " failed" : "");
    }
}

} // namespace
