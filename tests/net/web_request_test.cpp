#include "net/web_request.h"

#include "mock_http_server.h"

#include <gtest/gtest.h>
#include <httplib.h>
#include <zlib.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using testsupport::MockHttpServer;
using testsupport::MockResponse;
using testsupport::RecordedRequest;

constexpr const char* kAgent = "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";

/// Compresses with zlib; `windowBits` 15 + 16 gives gzip, 15 a zlib stream, -15 raw deflate.
std::string compress(const std::string& data, int windowBits) {
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&stream, data.size()) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

/// The names of the headers as they arrived, in the server's order.
std::vector<std::string> headerNames(const RecordedRequest& request) {
    std::vector<std::string> names;
    for (const auto& header : request.headers)
        names.push_back(header.first);
    return names;
}

bool hasHeaderNamedExactly(const RecordedRequest& request, const std::string& name) {
    for (const auto& header : request.headers)
        if (header.first == name)
            return true;
    return false;
}

/// Answers "/trickle" with `bytes` bytes, one every 50 ms: never idle long enough for the per-phase
/// time-out, which the mock server's whole-body answers cannot show.
class TricklingServer {
public:
    explicit TricklingServer(std::size_t bytes) {
        m_server.Get("/trickle", [this, bytes](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider(
                "text/plain", [this, bytes](std::size_t offset, httplib::DataSink& sink) {
                    if (offset >= bytes || m_stopping) {
                        sink.done();
                        return true;
                    }
                    std::this_thread::sleep_for(std::chrono::milliseconds(50));
                    return sink.write("t", 1);
                });
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        if (m_port > 0)
            m_thread = std::thread([this] { m_server.listen_after_bind(); });
    }
    ~TricklingServer() {
        m_stopping = true;
        m_server.stop();
        if (m_thread.joinable())
            m_thread.join();
    }
    bool isListening() const { return m_port > 0; }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(m_port) + "/trickle"; }

private:
    httplib::Server m_server;
    std::atomic<bool> m_stopping{false};
    int m_port = -1;
    std::thread m_thread;
};

class WebRequestTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.isListening()); }

    net::WebAnswer get(const std::string& path, net::WebRequestOptions options = {}) {
        options.url = server.url(path);
        return net::WebRequest(options);
    }

    MockHttpServer server;
};

TEST_F(WebRequestTest, SendsEachMethodByItsIndex) {
    server.on("/m", MockResponse{.body = "ok"});
    struct Case {
        int method;
        const char* expected;
    } cases[] = {{0, "GET"},    {1, "POST"},  {2, "HEAD"},    {3, "PUT"}, {4, "OPTIONS"},
                 {5, "DELETE"}, {6, "TRACE"}, {7, "CONNECT"}, {8, "GET"}, {-1, "GET"}};
    for (const auto& row : cases) {
        SCOPED_TRACE(row.method);
        const net::WebAnswer answer = get("/m", {.method = row.method});
        ASSERT_FALSE(answer.failed) << answer.error;
        const auto request = server.lastRequest();
        ASSERT_TRUE(request);
        EXPECT_EQ(request->method, row.expected);
        EXPECT_EQ(answer.status, 200);
        EXPECT_EQ(answer.body, row.method == 2 ? "" : "ok");
    }
}

TEST_F(WebRequestTest, CompletesAndCapitalisesTheHeaders) {
    server.on("/h", MockResponse{});
    const std::string url = server.url("/h");
    struct Expected {
        std::string name;                 // exactly as it must arrive
        std::optional<std::string> value; // nullopt: must not arrive
    };
    struct Case {
        const char* name;
        std::string headers;
        bool complete = true;
        bool normalize = true;
        int method = 0;
        std::vector<Expected> expected;
    } cases[] = {
        {"defaults for an empty block",
         "",
         true,
         true,
         0,
         {{"Accept", "*/*"},
          {"Referer", url},
          {"Accept-Language", "zh-cn"},
          {"User-Agent", kAgent},
          {"Content-Type", std::nullopt}}},
        {"post gets a form content type",
         "",
         true,
         true,
         1,
         {{"Content-Type", "application/x-www-form-urlencoded"}}},
        {"dashed name capitalised",
         "accept-encoding: identity",
         true,
         true,
         0,
         {{"Accept-Encoding", "identity"}}},
        {"every part capitalised", "sec-ch-ua-mobile: ?0", true, true, 0, {{"Sec-Ch-Ua-Mobile", "?0"}}},
        {"own accept kept and not doubled", "accept: text/html", true, true, 0, {{"Accept", "text/html"}}},
        {"keep-alive line not sent", "Connection: keep-alive", true, true, 0, {{"Connection", std::nullopt}}},
        {"close line sent", "Connection: close", true, true, 0, {{"Connection", "close"}}},
        {"case kept when not normalising", "x-lower-case: 1", false, false, 0, {{"x-lower-case", "1"}}},
        {"nothing added when not completing",
         "",
         false,
         true,
         0,
         {{"Accept", std::nullopt}, {"User-Agent", std::nullopt}, {"Referer", std::nullopt}}},
        {"one line without CR LF", "X-One: 1", false, true, 0, {{"X-One", "1"}}},
        {"unsendable lines dropped, the rest sent",
         ": empty\r\nbad name: 1\r\nnocolon\r\nX-Good: 2",
         false,
         false,
         0,
         {{"X-Good", "2"}, {"bad name", std::nullopt}}},
        {"later line replaces earlier", "X-Twice: 1\r\nX-Twice: 2", false, true, 0, {{"X-Twice", "2"}}},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const net::WebAnswer answer = net::WebRequest({.url = url,
                                                       .method = row.method,
                                                       .headers = row.headers,
                                                       .completeHeaders = row.complete,
                                                       .normalizeHeaderCase = row.normalize});
        ASSERT_FALSE(answer.failed) << answer.error;
        const auto request = server.lastRequest();
        ASSERT_TRUE(request);
        for (const Expected& expected : row.expected) {
            SCOPED_TRACE(expected.name);
            if (!expected.value) {
                EXPECT_EQ(request->headerCount(expected.name), 0u);
                continue;
            }
            EXPECT_TRUE(hasHeaderNamedExactly(*request, expected.name))
                << testing::PrintToString(headerNames(*request));
            EXPECT_EQ(request->headerCount(expected.name), 1u);
            EXPECT_EQ(request->header(expected.name), expected.value);
        }
    }
}

TEST_F(WebRequestTest, SendsBodiesWithTheirRealLength) {
    server.on("/b", MockResponse{});
    const std::string binary("\0\x01\xFFzip\0end", 9);
    struct Case {
        const char* name;
        int method;
        std::string body, bodyBytes, headers, expected;
    } cases[] = {
        {"form post", 1, "a=1&b=中文", "", "", "a=1&b=中文"},
        {"binary body wins over text", 1, "text", binary, "", binary},
        {"put", 3, "payload", "", "", "payload"},
        {"lying length header ignored", 1, "12345", "", "Content-Length: 1", "12345"},
        {"empty post", 1, "", "", "", ""},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const net::WebAnswer answer =
            get("/b",
                {.method = row.method, .body = row.body, .headers = row.headers, .bodyBytes = row.bodyBytes});
        ASSERT_FALSE(answer.failed) << answer.error;
        const auto request = server.lastRequest();
        ASSERT_TRUE(request);
        EXPECT_EQ(request->body, row.expected);
        EXPECT_EQ(request->header("Content-Length"), std::to_string(row.expected.size()));
    }
}

TEST_F(WebRequestTest, SendsAndMergesCookies) {
    server.on("/c", MockResponse{.headers = {{"Set-Cookie", "b=3; Path=/"}, {"Set-Cookie", "a=deleted"}}});
    server.on("/plain", MockResponse{});

    net::WebAnswer answer = get("/c", {.cookies = "a=1; b=2"});
    ASSERT_FALSE(answer.failed) << answer.error;
    EXPECT_EQ(server.lastRequest()->header("Cookie"), "a=1; b=2");
    EXPECT_EQ(answer.cookies, "b=3");
    EXPECT_EQ(answer.returnedCookies, "b=3");

    answer = get("/c", {.cookies = "a=1; b=2", .mergeCookies = false});
    EXPECT_EQ(answer.cookies, "a=1; b=2");
    EXPECT_EQ(answer.returnedCookies, "b=3; a=deleted");

    answer = get("/plain", {.cookies = "Cookie: a=1"});
    EXPECT_EQ(server.lastRequest()->header("Cookie"), "a=1");
    EXPECT_EQ(answer.cookies, "a=1");

    answer = get("/plain", {.cookies = "a=1\r\nX-Injected: 1"});
    EXPECT_EQ(server.lastRequest()->headerCount("Cookie"), 0u);
    EXPECT_EQ(server.lastRequest()->headerCount("X-Injected"), 0u);

    answer = get("/plain");
    EXPECT_EQ(server.lastRequest()->headerCount("Cookie"), 0u);
    EXPECT_FALSE(answer.cookies);
    EXPECT_EQ(answer.returnedCookies, "");
}

TEST_F(WebRequestTest, ReturnsStatusAndHeadersOfTheFinalAnswer) {
    server.on("/from", MockResponse{.status = 302, .body = "moved", .headers = {{"Location", "/to"}}});
    server.on("/to", MockResponse{.body = "arrived", .headers = {{"X-Final", "yes"}}});

    net::WebAnswer answer = get("/from");
    ASSERT_FALSE(answer.failed) << answer.error;
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.body, "arrived");
    EXPECT_NE(answer.headers.find("X-Final: yes"), std::string::npos);
    EXPECT_EQ(answer.headers.find("Location"), std::string::npos);
    EXPECT_EQ(answer.headers.find("HTTP/"), std::string::npos);
    EXPECT_FALSE(answer.headers.ends_with("\r\n"));

    answer = get("/from", {.noRedirect = true});
    ASSERT_FALSE(answer.failed) << answer.error;
    EXPECT_EQ(answer.status, 302);
    EXPECT_EQ(answer.body, "moved");
    EXPECT_NE(answer.headers.find("Location: /to"), std::string::npos);

    answer = get("/nowhere");
    EXPECT_FALSE(answer.failed);
    EXPECT_EQ(answer.status, 404);

    server.on("/loop", MockResponse{.status = 302, .headers = {{"Location", "/loop"}}});
    answer = get("/loop");
    EXPECT_TRUE(answer.failed);
    EXPECT_LE(server.requests().size(), 30u); // it gave up instead of following forever
}

TEST_F(WebRequestTest, DecodesCompressedAnswers) {
    const std::string text = "物流信息 " + std::string(5000, 'x');
    server.on("/gzip",
              MockResponse{.body = compress(text, 15 + 16), .headers = {{"Content-Encoding", "gzip"}}});
    server.on("/zlib",
              MockResponse{.body = compress(text, 15), .headers = {{"Content-Encoding", "deflate"}}});
    server.on("/raw",
              MockResponse{.body = compress(text, -15), .headers = {{"Content-Encoding", "deflate"}}});
    server.on("/corrupt", MockResponse{.body = "not gzip at all", .headers = {{"Content-Encoding", "gzip"}}});
    server.on("/truncated", MockResponse{.body = compress(text, 15 + 16).substr(0, 40),
                                         .headers = {{"Content-Encoding", "gzip"}}});

    for (const char* path : {"/gzip", "/zlib", "/raw"}) {
        SCOPED_TRACE(path);
        const net::WebAnswer answer = get(path);
        ASSERT_FALSE(answer.failed) << answer.error;
        EXPECT_EQ(answer.body, text);
    }
    for (const char* path : {"/corrupt", "/truncated"}) {
        SCOPED_TRACE(path);
        const net::WebAnswer answer = get(path);
        EXPECT_TRUE(answer.failed);
        EXPECT_EQ(answer.body, "");
    }
}

TEST_F(WebRequestTest, FailsAnswersLargerThanTheLimit) {
    const std::string big(20000, 'z');
    server.on("/big", MockResponse{.body = big});
    server.on("/bomb",
              MockResponse{.body = compress(big, 15 + 16), .headers = {{"Content-Encoding", "gzip"}}});
    for (const char* path : {"/big", "/bomb"}) {
        SCOPED_TRACE(path);
        net::WebAnswer answer = get(path, {.maxBodyBytes = 10000});
        EXPECT_TRUE(answer.failed);
        EXPECT_EQ(answer.body, "");
        answer = get(path, {.maxBodyBytes = 20000});
        ASSERT_FALSE(answer.failed) << answer.error;
        EXPECT_EQ(answer.body, big);
    }
}

TEST_F(WebRequestTest, NetworkFailuresGiveAFailedEmptyAnswer) {
    server.on("/stall", MockResponse{.body = "late", .delay = std::chrono::seconds(6)});
    server.on("/cut", MockResponse{.body = std::string(1000, 'c'), .cutAfterBytes = 10});

    net::WebAnswer answer = get("/stall", {.timeout = 1});
    EXPECT_TRUE(answer.failed);
    EXPECT_NE(answer.error.find("timed out"), std::string::npos) << answer.error;
    EXPECT_EQ(answer.body, "");

    answer = get("/cut");
    EXPECT_TRUE(answer.failed);
    EXPECT_EQ(answer.body, "");

    int closedPort = 0;
    {
        MockHttpServer gone;
        closedPort = gone.port();
    }
    answer =
        net::WebRequest({.url = "http://127.0.0.1:" + std::to_string(closedPort) + "/", .cookies = "a=1"});
    EXPECT_TRUE(answer.failed);
    EXPECT_EQ(answer.body, "");
    EXPECT_EQ(answer.status, 0);
    EXPECT_EQ(answer.cookies, "a=1"); // the caller's cookies survive a failure
}

TEST(WebRequestDeadlineTest, TheOverallCapEndsATricklingAnswer) {
    TricklingServer trickling(20); // about a second in all
    ASSERT_TRUE(trickling.isListening());
    struct Case {
        const char* name;
        std::chrono::milliseconds overallTimeout;
        bool failed;
    } cases[] = {
        {"cap shorter than the trickle", std::chrono::milliseconds(300), true},
        {"default cap lets it finish", net::kDefaultOverallTimeout, false},
        {"no cap given means the default", std::chrono::milliseconds(0), false},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const net::WebAnswer answer =
            net::WebRequest({.url = trickling.url(), .timeout = 1, .overallTimeout = row.overallTimeout});
        EXPECT_EQ(answer.failed, row.failed) << answer.error;
        if (row.failed) {
            EXPECT_NE(answer.error.find("timed out"), std::string::npos) << answer.error;
            EXPECT_EQ(answer.body, "");
        } else {
            EXPECT_EQ(answer.body, std::string(20, 't'));
        }
    }
}

TEST_F(WebRequestTest, AStopRequestAbortsTheExchange) {
    std::atomic<bool> arrived{false};
    server.on("/stall", [&arrived](const RecordedRequest&) {
        arrived = true;
        return MockResponse{.body = "late", .delay = std::chrono::seconds(6)};
    });
    server.on("/quick", MockResponse{.body = "quick"});

    // Stops once the server holds the request, i.e. in the middle of the exchange.
    std::atomic<int> asked{0};
    net::WebAnswer answer = get("/stall", {.stopRequested = [&] {
                                    ++asked;
                                    return arrived.load();
                                }});
    EXPECT_TRUE(arrived);
    EXPECT_TRUE(answer.failed);
    EXPECT_NE(answer.error.find("stopped"), std::string::npos) << answer.error;
    EXPECT_EQ(answer.body, "");
    EXPECT_GT(asked, 0);

    answer = get("/quick", {.stopRequested = [] { return false; }});
    ASSERT_FALSE(answer.failed) << answer.error;
    EXPECT_EQ(answer.body, "quick");
}

TEST_F(WebRequestTest, RefusesUrlsThatAreNotHttp) {
    for (const std::string url :
         {"file:///etc/hostname", "ftp://127.0.0.1/", "", "not a url", "gopher://127.0.0.1/"}) {
        SCOPED_TRACE(url);
        const net::WebAnswer answer = net::WebRequest({.url = url});
        EXPECT_TRUE(answer.failed);
        EXPECT_EQ(answer.body, "");
    }
    // A line break in the URL would otherwise smuggle a header into the request.
    server.on("/a", MockResponse{.body = "reached"});
    const net::WebAnswer answer = get("/a HTTP/1.1\r\nX-Smuggled: 1\r\n\r\nGET /a");
    EXPECT_TRUE(answer.failed);
    for (const RecordedRequest& request : server.requests())
        EXPECT_EQ(request.headerCount("X-Smuggled"), 0u);
}

TEST_F(WebRequestTest, SendsThroughAProxyWithBasicCredentials) {
    const std::string target = "http://127.0.0.1:1/via-proxy"; // only the proxy is ever contacted
    server.on(target, MockResponse{.body = "proxied"});
    struct Case {
        const char* name;
        std::string user, password, expected;
    } cases[] = {
        {"ascii", "user", "pass", "Basic dXNlcjpwYXNz"},
        {"gbk bytes of the credentials", "用户", "pw", "Basic 08O7pzpwdw=="},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const net::WebAnswer answer = net::WebRequest(
            {.url = target, .proxy = server.baseUrl(), .proxyUser = row.user, .proxyPassword = row.password});
        ASSERT_FALSE(answer.failed) << answer.error;
        EXPECT_EQ(answer.body, "proxied");
        const auto request = server.lastRequest();
        ASSERT_TRUE(request);
        EXPECT_EQ(request->target, target);
        EXPECT_EQ(request->header("Proxy-Authorization"), row.expected);
    }
}

TEST_F(WebRequestTest, EscapesNonAsciiUrls) {
    server.on("/路径", MockResponse{.body = "found"});
    const net::WebAnswer answer = get("/路径?q=中 文");
    ASSERT_FALSE(answer.failed) << answer.error;
    EXPECT_EQ(answer.body, "found");
    const auto request = server.lastRequest();
    ASSERT_TRUE(request);
    ASSERT_EQ(request->query.size(), 1u);
    EXPECT_EQ(request->query[0].second, "中 文");
}

TEST_F(WebRequestTest, CredentialsFlagZeroAnswersTheServersChallenge) {
    const std::string target = "http://127.0.0.1:1/guarded"; // only the proxy is ever contacted
    server.on(target, [](const RecordedRequest& request) {
        if (!request.header("Authorization"))
            return MockResponse{.status = 401, .headers = {{"WWW-Authenticate", "Basic realm=\"x\""}}};
        return MockResponse{.body = "welcome"};
    });
    const net::WebAnswer answer = net::WebRequest({.url = target,
                                                   .proxy = server.baseUrl(),
                                                   .proxyUser = "user",
                                                   .proxyPassword = "pass",
                                                   .proxyCredentialsFlag = 0});
    ASSERT_FALSE(answer.failed) << answer.error;
    EXPECT_EQ(answer.body, "welcome");
    const auto request = server.lastRequest();
    ASSERT_TRUE(request);
    EXPECT_EQ(request->header("Authorization"), "Basic dXNlcjpwYXNz");
    EXPECT_EQ(request->headerCount("Proxy-Authorization"), 0u);
}

TEST_F(WebRequestTest, ConcurrentRequestsDoNotInterfere) {
    server.on("/echo", [](const RecordedRequest& request) { return MockResponse{.body = request.body}; });
    std::vector<std::string> bodies(8);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < bodies.size(); ++i)
        threads.emplace_back([&, i] {
            bodies[i] =
                net::WebRequest({.url = server.url("/echo"), .method = 1, .body = "n=" + std::to_string(i)})
                    .body;
        });
    for (std::thread& thread : threads)
        thread.join();
    for (std::size_t i = 0; i < bodies.size(); ++i)
        EXPECT_EQ(bodies[i], "n=" + std::to_string(i));
}

class WebRequestTlsTest : public testing::Test {
protected:
    void SetUp() override {
        directory = std::filesystem::temp_directory_path() /
                    ("varrow-net-tls-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                     "-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        std::filesystem::create_directories(directory / "ip");
        std::filesystem::create_directories(directory / "other");
        ipCertificate = testsupport::makeSelfSignedCertificate(directory / "ip", "IP:127.0.0.1");
        otherCertificate = testsupport::makeSelfSignedCertificate(directory / "other", "DNS:other.invalid");
        ASSERT_TRUE(ipCertificate && otherCertificate) << "openssl could not make a certificate";
    }
    void TearDown() override { std::filesystem::remove_all(directory); }

    std::filesystem::path directory;
    std::optional<testsupport::TlsFiles> ipCertificate;
    std::optional<testsupport::TlsFiles> otherCertificate;
};

TEST_F(WebRequestTlsTest, RedirectsFromHttpsStayOnHttps) {
    MockHttpServer secure(*ipCertificate);
    MockHttpServer plain;
    ASSERT_TRUE(secure.isListening() && plain.isListening());
    const std::string ca = ipCertificate->certificate.string();
    secure.on("/answer", MockResponse{.body = "secure"});
    plain.on("/answer", MockResponse{.body = "plain"});
    secure.on("/to-plain", MockResponse{.status = 302, .headers = {{"Location", plain.url("/answer")}}});
    secure.on("/to-secure", MockResponse{.status = 301, .headers = {{"Location", secure.url("/answer")}}});
    plain.on("/to-secure", MockResponse{.status = 302, .headers = {{"Location", secure.url("/answer")}}});
    plain.on("/to-plain", MockResponse{.status = 302, .headers = {{"Location", plain.url("/answer")}}});
    struct Case {
        const char* name;
        std::string url;
        std::optional<std::string> body; // nullopt: the request fails
    } cases[] = {
        {"https to http is a failure", secure.url("/to-plain"), std::nullopt},
        {"so with the scheme in capitals", "HTTPS" + secure.url("/to-plain").substr(5), std::nullopt},
        {"https to https is followed", secure.url("/to-secure"), "secure"},
        {"http to https is followed", plain.url("/to-secure"), "secure"},
        {"http to http is followed", plain.url("/to-plain"), "plain"},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.name);
        const std::size_t plainAsked = plain.requests().size();
        const net::WebAnswer answer = net::WebRequest({.url = row.url, .caBundlePath = ca});
        EXPECT_EQ(answer.failed, !row.body) << answer.error;
        EXPECT_EQ(answer.body, row.body.value_or(""));
        if (!row.body) {
            EXPECT_EQ(plain.requests().size(), plainAsked); // the downgraded address was never asked for
        }
    }
}

TEST_F(WebRequestTlsTest, RefusesCertificatesThatDoNotCheckOut) {
    MockHttpServer server(*ipCertificate);
    ASSERT_TRUE(server.isListening());
    server.on("/secret", MockResponse{.body = "secret"});

    // Self-signed: unknown to the system's store.
    net::WebAnswer answer = net::WebRequest({.url = server.url("/secret")});
    EXPECT_TRUE(answer.failed);
    EXPECT_EQ(answer.body, "");

    // Trusted, so the same exchange works.
    answer =
        net::WebRequest({.url = server.url("/secret"), .caBundlePath = ipCertificate->certificate.string()});
    ASSERT_FALSE(answer.failed) << answer.error;
    EXPECT_EQ(answer.body, "secret");

    // Trusted but made out to another host name.
    MockHttpServer otherServer(*otherCertificate);
    ASSERT_TRUE(otherServer.isListening());
    otherServer.on("/secret", MockResponse{.body = "secret"});
    answer = net::WebRequest(
        {.url = otherServer.url("/secret"), .caBundlePath = otherCertificate->certificate.string()});
    EXPECT_TRUE(answer.failed);
    EXPECT_EQ(answer.body, "");
}

} // namespace
