#include "mock_http_server.h"

#include <httplib.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <mutex>
#include <set>
#include <thread>

namespace testsupport {
namespace {

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

RecordedRequest record(const httplib::Request& request) {
    RecordedRequest recorded;
    recorded.method = request.method;
    recorded.path = request.path;
    recorded.target = request.target;
    for (const auto& [name, value] : request.params)
        recorded.query.emplace_back(name, value);
    for (const auto& [name, value] : request.headers) {
        // httplib adds these itself; they never come from the client.
        if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" || name == "LOCAL_PORT")
            continue;
        recorded.headers.emplace_back(name, value);
    }
    recorded.body = request.body;
    return recorded;
}

} // namespace

std::optional<std::string> RecordedRequest::header(const std::string& name) const {
    for (const auto& [key, value] : headers)
        if (equalIgnoringCase(key, name))
            return value;
    return std::nullopt;
}

std::size_t RecordedRequest::headerCount(const std::string& name) const {
    return static_cast<std::size_t>(std::count_if(headers.begin(), headers.end(), [&](const auto& header) {
        return equalIgnoringCase(header.first, name);
    }));
}

std::optional<TlsFiles> makeSelfSignedCertificate(const std::filesystem::path& directory,
                                                  const std::string& subjectAltName) {
    TlsFiles files{directory / "certificate.pem", directory / "key.pem"};
    // An EC key keeps generation quick; the SAN is what host-name checks look at.
    const std::string command = "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes"
                                " -days 2 -subj /CN=varrow-test -addext subjectAltName=" +
                                subjectAltName + " -keyout '" + files.privateKey.string() + "' -out '" +
                                files.certificate.string() + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0 || !std::filesystem::exists(files.certificate))
        return std::nullopt;
    return files;
}

struct MockHttpServer::Impl {
    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    int port = -1;
    std::string scheme = "http";

    mutable std::mutex mutex;
    std::condition_variable stopping;
    bool stopped = false;
    std::map<std::string, Handler> handlers;
    std::vector<RecordedRequest> requests;

    httplib::Server::HandlerResponse answer(const httplib::Request& request, httplib::Response& response) {
        RecordedRequest recorded = record(request);
        Handler handler;
        {
            std::lock_guard lock(mutex);
            requests.push_back(recorded);
            if (auto found = handlers.find(request.path); found != handlers.end())
                handler = found->second;
        }
        if (!handler) {
            response.status = 404;
            response.set_content("no handler", "text/plain");
            return httplib::Server::HandlerResponse::Handled;
        }
        MockResponse mock = handler(recorded);
        if (mock.delay.count() > 0) {
            std::unique_lock lock(mutex);
            stopping.wait_for(lock, mock.delay, [this] { return stopped; });
        }
        response.status = mock.status;
        for (const auto& [name, value] : mock.headers)
            response.set_header(name, value);
        if (mock.cutAfterBytes) {
            const std::size_t sent = std::min(*mock.cutAfterBytes, mock.body.size());
            auto body = std::make_shared<std::string>(std::move(mock.body));
            response.set_content_provider(body->size(), mock.contentType,
                                          [body, sent](std::size_t, std::size_t, httplib::DataSink& sink) {
                                              sink.write(body->data(), sent);
                                              return false; // drops the connection mid-body
                                          });
        } else {
            response.set_content(mock.body, mock.contentType);
        }
        return httplib::Server::HandlerResponse::Handled;
    }

    void start() {
        // The router reads request bodies first, so the methods it knows go through it; the others
        // (TRACE, CONNECT, ...) are caught before routing, where no body has been read.
        const auto routed = [this](const httplib::Request& request, httplib::Response& response) {
            answer(request, response);
        };
        const std::string any = ".*";
        server->Get(any, routed);
        server->Post(any, routed);
        server->Put(any, routed);
        server->Patch(any, routed);
        server->Delete(any, routed);
        server->Options(any, routed);
        server->set_pre_routing_handler([this](const httplib::Request& request, httplib::Response& response) {
            static const std::set<std::string> kRouted{"GET",   "HEAD",   "POST",   "PUT",
                                                       "PATCH", "DELETE", "OPTIONS"};
            if (kRouted.contains(request.method))
                return httplib::Server::HandlerResponse::Unhandled;
            return answer(request, response);
        });
        server->set_read_timeout(5, 0);
        server->set_write_timeout(5, 0);
        port = server->bind_to_any_port("127.0.0.1");
        if (port <= 0)
            return;
        thread = std::thread([this] { server->listen_after_bind(); });
        // stop() is ignored until the loop runs, so the destructor could otherwise wait forever.
        for (int i = 0; i < 2000 && !server->is_running(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    ~Impl() {
        {
            std::lock_guard lock(mutex);
            stopped = true;
        }
        stopping.notify_all();
        if (server)
            server->stop();
        if (thread.joinable())
            thread.join();
    }
};

MockHttpServer::MockHttpServer() : m_impl(std::make_unique<Impl>()) {
    m_impl->server = std::make_unique<httplib::Server>();
    m_impl->start();
}

MockHttpServer::MockHttpServer(const TlsFiles& tls) : m_impl(std::make_unique<Impl>()) {
    m_impl->scheme = "https";
    auto server = std::make_unique<httplib::SSLServer>(tls.certificate.c_str(), tls.privateKey.c_str());
    if (!server->is_valid())
        return;
    m_impl->server = std::move(server);
    m_impl->start();
}

MockHttpServer::~MockHttpServer() = default;

bool MockHttpServer::isListening() const {
    return m_impl->port > 0;
}

int MockHttpServer::port() const {
    return m_impl->port;
}

std::string MockHttpServer::baseUrl() const {
    return m_impl->scheme + "://127.0.0.1:" + std::to_string(m_impl->port);
}

std::string MockHttpServer::url(const std::string& path) const {
    return baseUrl() + path;
}

void MockHttpServer::on(const std::string& path, Handler handler) {
    std::lock_guard lock(m_impl->mutex);
    m_impl->handlers[path] = std::move(handler);
}

void MockHttpServer::on(const std::string& path, MockResponse response) {
    on(path, [response](const RecordedRequest&) { return response; });
}

std::vector<RecordedRequest> MockHttpServer::requests() const {
    std::lock_guard lock(m_impl->mutex);
    return m_impl->requests;
}

std::optional<RecordedRequest> MockHttpServer::lastRequest() const {
    std::lock_guard lock(m_impl->mutex);
    if (m_impl->requests.empty())
        return std::nullopt;
    return m_impl->requests.back();
}

} // namespace testsupport
