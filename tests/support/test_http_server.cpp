#include "test_http_server.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <netinet/in.h>
#include <zlib.h>

#include <cstring>
#include <memory>
#include <stdexcept>

namespace brenvik::testing {

std::string RecordedRequest::Header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (key.size() == name.size() &&
            std::equal(key.begin(), key.end(), name.begin(),
                       [](char a, char b) { return std::tolower(a) == std::tolower(b); }))
            return value;
    }
    return "";
}

struct TestHttpServerAccess {
    struct Pending {
        RecordedRequest request;
    };

    static MHD_Result CollectHeader(void* cls, MHD_ValueKind, const char* key, const char* value) {
        static_cast<HeaderList*>(cls)->emplace_back(key, value ? value : "");
        return MHD_YES;
    }

    static MHD_Result OnRequest(void* cls, MHD_Connection* connection, const char* url,
                                const char* method, const char*, const char* upload,
                                size_t* uploadSize, void** state) {
        auto* server = static_cast<TestHttpServer*>(cls);
        if (!*state) {
            auto pending = std::make_unique<Pending>();
            pending->request.method = method;
            pending->request.path = url;
            MHD_get_connection_values(connection, MHD_HEADER_KIND, CollectHeader,
                                      &pending->request.headers);
            *state = pending.release();
            return MHD_YES;
        }
        auto* pending = static_cast<Pending*>(*state);
        if (*uploadSize > 0) {
            pending->request.body.append(upload, *uploadSize);
            *uploadSize = 0;
            return MHD_YES;
        }
        CannedResponse reply = server->Handle(pending->request);
        if (reply.drop) return MHD_NO;
        MHD_Response* response = MHD_create_response_from_buffer(
            reply.body.size(), reply.body.data(), MHD_RESPMEM_MUST_COPY);
        for (const auto& [key, value] : reply.headers)
            MHD_add_response_header(response, key.c_str(), value.c_str());
        MHD_Result queued =
            MHD_queue_response(connection, static_cast<unsigned>(reply.status), response);
        MHD_destroy_response(response);
        return queued;
    }

    static void OnCompleted(void*, MHD_Connection*, void** state, MHD_RequestTerminationCode) {
        delete static_cast<Pending*>(*state);
        *state = nullptr;
    }
};

TestHttpServer::TestHttpServer(Handler handler) : handler_(std::move(handler)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = 0;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    daemon_ = MHD_start_daemon(
        MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_THREAD_PER_CONNECTION | MHD_USE_ERROR_LOG, 0,
        nullptr, nullptr, &TestHttpServerAccess::OnRequest, this, MHD_OPTION_SOCK_ADDR, &address,
        MHD_OPTION_NOTIFY_COMPLETED, &TestHttpServerAccess::OnCompleted, nullptr, MHD_OPTION_END);
    if (!daemon_) throw std::runtime_error("test HTTP server: cannot listen on 127.0.0.1");
    const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon_, MHD_DAEMON_INFO_BIND_PORT);
    port_ = info ? info->port : 0;
}

TestHttpServer::~TestHttpServer() {
    {
        std::lock_guard lock(mutex_);
        stopped_ = true;
    }
    stopping_.notify_all();
    MHD_stop_daemon(daemon_);
}

void TestHttpServer::Respond(CannedResponse response) {
    SetHandler([response](const RecordedRequest&) { return response; });
}

void TestHttpServer::SetHandler(Handler handler) {
    std::lock_guard lock(mutex_);
    handler_ = std::move(handler);
}

std::string TestHttpServer::Url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<RecordedRequest> TestHttpServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

RecordedRequest TestHttpServer::LastRequest() const {
    std::lock_guard lock(mutex_);
    return requests_.empty() ? RecordedRequest{} : requests_.back();
}

CannedResponse TestHttpServer::Handle(const RecordedRequest& request) {
    Handler handler;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        handler = handler_;
    }
    CannedResponse reply = handler ? handler(request) : CannedResponse{200, "{}"};
    std::unique_lock lock(mutex_);
    if (reply.stall) {
        stopping_.wait(lock, [&] { return stopped_; });
    } else if (reply.delay.count() > 0) {
        stopping_.wait_for(lock, reply.delay, [&] { return stopped_; });
    }
    return reply;
}

std::string Gzip(std::string_view data) {
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&stream, static_cast<uLong>(data.size())) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    stream.avail_in = static_cast<uInt>(data.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

}  // namespace brenvik::testing
