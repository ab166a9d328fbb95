#pragma once

// A local HTTP(S) server for tests: it listens on 127.0.0.1 on a free port in a background thread,
// records every request and answers from handlers registered per path. It stops in its destructor.

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace testsupport {

/// One request as the server received it.
struct RecordedRequest {
    std::string method{};
    std::string path{};   // without the query
    std::string target{}; // the request line's target, as sent
    std::vector<std::pair<std::string, std::string>> query{};
    std::vector<std::pair<std::string, std::string>> headers{}; // sorted by name, any case
    std::string body{};

    /// The first value of header `name` (any case), if sent.
    std::optional<std::string> header(const std::string& name) const;
    /// How many times header `name` (any case) was sent.
    std::size_t headerCount(const std::string& name) const;
};

/// The answer a handler gives.
struct MockResponse {
    int status = 200;
    std::string body{};
    std::string contentType = "text/plain; charset=utf-8";
    std::vector<std::pair<std::string, std::string>> headers{};
    /// Wait this long before answering (cut short when the server stops).
    std::chrono::milliseconds delay{0};
    /// When set, announce the whole body but send only this many bytes, then close the connection.
    std::optional<std::size_t> cutAfterBytes{};
};

/// A PEM certificate and key in files.
struct TlsFiles {
    std::filesystem::path certificate;
    std::filesystem::path privateKey;
};

/// Makes a self-signed certificate (EC key) for the given subjectAltName, such as "IP:127.0.0.1",
/// in `directory` with the openssl tool; nullopt when that fails.
std::optional<TlsFiles> makeSelfSignedCertificate(const std::filesystem::path& directory,
                                                  const std::string& subjectAltName = "IP:127.0.0.1");

class MockHttpServer {
public:
    using Handler = std::function<MockResponse(const RecordedRequest&)>;

    /// A plain HTTP server.
    MockHttpServer();
    /// An HTTPS server with the given certificate.
    explicit MockHttpServer(const TlsFiles& tls);
    ~MockHttpServer();
    MockHttpServer(const MockHttpServer&) = delete;
    MockHttpServer& operator=(const MockHttpServer&) = delete;

    /// False when the server could not start (no port, bad certificate).
    bool isListening() const;
    int port() const;
    /// "http://127.0.0.1:<port>" (or https).
    std::string baseUrl() const;
    /// baseUrl() + path.
    std::string url(const std::string& path) const;

    /// Answers every method on exactly `path` (without query); unknown paths get 404.
    void on(const std::string& path, Handler handler);
    /// Answers every method on `path` with a fixed response.
    void on(const std::string& path, MockResponse response);

    /// Every request received so far, in order.
    std::vector<RecordedRequest> requests() const;
    /// The last request received, if any.
    std::optional<RecordedRequest> lastRequest() const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace testsupport
