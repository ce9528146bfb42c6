#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct MHD_Daemon;

namespace brenvik::testing {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

// One request as the server received it, headers in the order they came.
struct RecordedRequest {
    std::string method;
    std::string path;
    HeaderList headers;
    std::string body;

    // The value of the first header named `name` (any case), or "".
    std::string Header(std::string_view name) const;
};

// What the server sends back. With `stall` set it sends nothing until the
// server is stopped; with a `delay` it waits that long first; with `drop` it
// closes the connection without an answer.
struct CannedResponse {
    int status = 200;
    std::string body;
    HeaderList headers = {{"Content-Type", "application/json; charset=utf-8"}};
    std::chrono::milliseconds delay{0};
    bool stall = false;
    bool drop = false;
};

// A real HTTP/1.1 server on 127.0.0.1, on a port the system picks, for tests
// that need a peer. Each request is recorded and answered by the handler.
class TestHttpServer {
public:
    using Handler = std::function<CannedResponse(const RecordedRequest&)>;

    explicit TestHttpServer(Handler handler = nullptr);
    ~TestHttpServer();
    TestHttpServer(const TestHttpServer&) = delete;
    TestHttpServer& operator=(const TestHttpServer&) = delete;

    // Answers every request from now on with `response`.
    void Respond(CannedResponse response);
    void SetHandler(Handler handler);

    std::uint16_t Port() const { return port_; }
    // "http://127.0.0.1:PORT" + path.
    std::string Url(std::string_view path = "/") const;

    std::vector<RecordedRequest> Requests() const;
    RecordedRequest LastRequest() const;

private:
    friend struct TestHttpServerAccess;
    CannedResponse Handle(const RecordedRequest& request);

    mutable std::mutex mutex_;
    std::condition_variable stopping_;
    bool stopped_ = false;
    Handler handler_;
    std::vector<RecordedRequest> requests_;
    MHD_Daemon* daemon_ = nullptr;
    std::uint16_t port_ = 0;
};

// The gzip form of `data`, for replies sent with Content-Encoding: gzip.
std::string Gzip(std::string_view data);

}  // namespace brenvik::testing
