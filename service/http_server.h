#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "service/listen_address.h"
#include "service/request_log.h"
#include "service/shortening_service.h"
#include "service/work_queue.h"

struct MHD_Daemon;

namespace brenvik {

struct HttpServerSettings {
    ListenAddress listen;
    unsigned threads = 8;
    unsigned connectionTimeoutSeconds = 10;  // idle or slow clients are dropped after this
    unsigned connectionLimit = 1000;
};

// The HTTP/1.1 front of the service, over libmicrohttpd: a pool of threads reads
// requests, hands them to the ShorteningService and writes one line per request to
// stderr (method, path without query, status, microseconds) through a RequestLog.
class HttpServer {
public:
    // Binds the listening socket, so that the port is known before requests are
    // taken. Null when the address cannot be bound; `error` then says why.
    static std::unique_ptr<HttpServer> Bind(const HttpServerSettings& settings, std::string& error);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // The port bound (the chosen one when 0 was asked for).
    int Port() const { return port_; }
    // Starts taking requests for `service`, which must outlive the server.
    bool Serve(ShorteningService& service, std::string& error);
    // Stops taking connections, waits up to `grace` for the requests under way, then
    // closes every connection.
    void Stop(std::chrono::milliseconds grace);

    struct Callbacks;

private:
    explicit HttpServer(const HttpServerSettings& settings) : settings_(settings) {}

    const HttpServerSettings settings_;
    RequestLog log_{stderr};  // the destructor stops the daemon before this goes
    int listenSocket_ = -1;   // owned until handed to libmicrohttpd
    int port_ = 0;
    ShorteningService* service_ = nullptr;
    std::unique_ptr<WorkQueue> createWorkers_;
    MHD_Daemon* daemon_ = nullptr;
    std::atomic<int> requestsUnderWay_{0};
};

}  // namespace brenvik
