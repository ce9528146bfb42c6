#include "service/http_server.h"

#include <arpa/inet.h>
#include <microhttpd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <thread>

#include "common/percent_encoding.h"

namespace brenvik {

namespace {

using Clock = std::chrono::steady_clock;

// Threads that run creates; more than the connections a busy client opens, so that
// their inserts gather into one commit.
constexpr unsigned kCreateWorkers = 64;

// What one request gathers between the calls libmicrohttpd makes for it.
struct RequestState {
    Clock::time_point start = Clock::now();
    std::string method;
    std::string path;
    std::string contentType;
    std::string body;
    bool bodyTooLarge = false;
    std::string clientAddress;
    bool clientIsLoopback = false;
    std::optional<HttpReply> reply;  // made by a create worker while the connection waits
    int status = 0;                  // 0 until a reply is queued

    HttpRequest AsRequest() const {
        return {method, path, contentType, body, bodyTooLarge, clientAddress, clientIsLoopback};
    }
};

struct ClientAddress {
    std::string text;
    bool isLoopback = false;
};

ClientAddress DescribeClient(MHD_Connection* connection) {
    ClientAddress client;
    const MHD_ConnectionInfo* info =
        MHD_get_connection_info(connection, MHD_CONNECTION_INFO_CLIENT_ADDRESS);
    if (info == nullptr || info->client_addr == nullptr) return client;
    char text[INET6_ADDRSTRLEN] = "";
    if (info->client_addr->sa_family == AF_INET) {
        sockaddr_in v4;
        std::memcpy(&v4, info->client_addr, sizeof v4);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        client.isLoopback = (ntohl(v4.sin_addr.s_addr) >> 24) == 127;
    } else if (info->client_addr->sa_family == AF_INET6) {
        sockaddr_in6 v6;
        std::memcpy(&v6, info->client_addr, sizeof v6);
        inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        client.isLoopback =
            IN6_IS_ADDR_LOOPBACK(&v6.sin6_addr) ||
            (IN6_IS_ADDR_V4MAPPED(&v6.sin6_addr) && v6.sin6_addr.s6_addr[12] == 127);
    }
    client.text = text;
    return client;
}

// The path as it may appear in a log line: anything unprintable is %-encoded, so a
// request cannot forge or break lines.
std::string PrintablePath(std::string_view path) {
    return PercentEncode(path, [](unsigned char byte) { return byte > 0x20 && byte < 0x7F; });
}

std::size_t DeclaredLength(MHD_Connection* connection) {
    const char* value =
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
    if (value == nullptr) return 0;
    return static_cast<std::size_t>(std::strtoull(value, nullptr, 10));
}

}  // namespace

struct HttpServer::Callbacks {
    // Copies what the service needs from the connection, so that the request can be
    // answered on another thread.
    static void TakeRequestDetails(MHD_Connection* connection, RequestState& state) {
        const char* contentType =
            MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_TYPE);
        state.contentType = contentType ? contentType : "";
        ClientAddress client = DescribeClient(connection);
        state.clientAddress = std::move(client.text);
        state.clientIsLoopback = client.isLoopback;
    }

    static MHD_Result QueueReply(MHD_Connection* connection, RequestState& state,
                                 const HttpReply& reply) {
        MHD_Response* response = MHD_create_response_from_buffer(
            reply.body.size(), const_cast<char*>(reply.body.data()), MHD_RESPMEM_MUST_COPY);
        if (response == nullptr) return MHD_NO;
        MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, reply.contentType.c_str());
        for (const auto& [name, value] : reply.headers) {
            MHD_add_response_header(response, name.c_str(), value.c_str());
        }
        const MHD_Result queued =
            MHD_queue_response(connection, static_cast<unsigned>(reply.status), response);
        MHD_destroy_response(response);
        if (queued == MHD_YES) state.status = reply.status;
        return queued;
    }

    static MHD_Result Reply(HttpServer& server, MHD_Connection* connection, RequestState& state) {
        TakeRequestDetails(connection, state);
        return QueueReply(connection, state, server.service_->Handle(state.AsRequest()));
    }

    // A create waits for the group commit that makes it durable: the connection is
    // suspended meanwhile, so that the request threads go on serving others and many
    // creates can share one commit.
    static MHD_Result ReplyLater(HttpServer& server, MHD_Connection* connection,
                                 RequestState& state) {
        TakeRequestDetails(connection, state);
        MHD_suspend_connection(connection);
        server.createWorkers_->Post([&server, connection, &state] {
            state.reply = server.service_->Handle(state.AsRequest());
            MHD_resume_connection(connection);
        });
        return MHD_YES;
    }

    static MHD_Result OnRequest(void* cls, MHD_Connection* connection, const char* url,
                                const char* method, const char* /*version*/, const char* uploadData,
                                size_t* uploadDataSize, void** context) {
        auto& server = *static_cast<HttpServer*>(cls);
        auto* state = static_cast<RequestState*>(*context);
        if (state == nullptr) {
            state = new RequestState;
            state->method = method;
            state->path = url;
            *context = state;
            server.requestsUnderWay_.fetch_add(1);
            // Answering now would make libmicrohttpd close the connection after the
            // reply, so only an oversized body is refused at once.
            if (DeclaredLength(connection) > kMaxRequestBodyBytes) {
                // Refused before the body is read; libmicrohttpd then closes the connection.
                state->bodyTooLarge = true;
                return Reply(server, connection, *state);
            }
            return MHD_YES;
        }
        if (state->status != 0) {
            *uploadDataSize = 0;  // already answered; whatever still comes is dropped
            return MHD_YES;
        }
        if (*uploadDataSize != 0) {
            if (!state->bodyTooLarge) {
                if (state->body.size() + *uploadDataSize > kMaxRequestBodyBytes) {
                    state->bodyTooLarge = true;
                    state->body.clear();
                    state->body.shrink_to_fit();
                } else {
                    state->body.append(uploadData, *uploadDataSize);
                }
            }
            *uploadDataSize = 0;
            return MHD_YES;
        }
        if (state->reply) return QueueReply(connection, *state, *state->reply);
        if (state->method == MHD_HTTP_METHOD_POST && !state->bodyTooLarge) {
            return ReplyLater(server, connection, *state);
        }
        return Reply(server, connection, *state);
    }

    static void OnCompleted(void* cls, MHD_Connection* /*connection*/, void** context,
                            MHD_RequestTerminationCode /*why*/) {
        auto* state = static_cast<RequestState*>(*context);
        if (state == nullptr) return;
        *context = nullptr;
        const auto micros =
            std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - state->start)
                .count();
        auto& server = *static_cast<HttpServer*>(cls);
        std::string line = state->method;
        line += ' ';
        line += PrintablePath(state->path);
        line += ' ';
        line += state->status ? std::to_string(state->status) : "-";
        line += ' ';
        line += std::to_string(micros);
        line += "us\n";
        server.log_.Write(line);
        delete state;
        server.requestsUnderWay_.fetch_sub(1);
    }

    // The path is decoded by the service itself, strictly; libmicrohttpd's own
    // decoding would let malformed escapes through.
    static size_t KeepEscapes(void* /*cls*/, MHD_Connection* /*connection*/, char* text) {
        return std::strlen(text);
    }
};

std::unique_ptr<HttpServer> HttpServer::Bind(const HttpServerSettings& settings,
                                             std::string& error) {
    std::unique_ptr<HttpServer> server(new HttpServer(settings));
    const int family = settings.listen.isIpv6 ? AF_INET6 : AF_INET;
    server->listenSocket_ = socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (server->listenSocket_ < 0) {
        error = std::string("cannot open a socket: ") + std::strerror(errno);
        return nullptr;
    }
    const int on = 1;
    setsockopt(server->listenSocket_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (family == AF_INET6)
        setsockopt(server->listenSocket_, IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on);
    const sockaddr_in6 address = settings.listen.SocketAddress();
    const socklen_t addressSize = family == AF_INET6 ? sizeof(sockaddr_in6) : sizeof(sockaddr_in);
    if (bind(server->listenSocket_, reinterpret_cast<const sockaddr*>(&address), addressSize) !=
            0 ||
        listen(server->listenSocket_, SOMAXCONN) != 0) {
        error = "cannot listen on " + settings.listen.HostAndPort() + ": " + std::strerror(errno);
        return nullptr;
    }
    sockaddr_in6 boundAddress{};
    socklen_t boundSize = sizeof boundAddress;
    getsockname(server->listenSocket_, reinterpret_cast<sockaddr*>(&boundAddress), &boundSize);
    // The port field sits at the same place in both families.
    server->port_ = ntohs(boundAddress.sin6_port);
    return server;
}

bool HttpServer::Serve(ShorteningService& service, std::string& error) {
    service_ = &service;
    unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_EPOLL | MHD_USE_ITC |
                     MHD_USE_ERROR_LOG | MHD_ALLOW_SUSPEND_RESUME;
    createWorkers_ = std::make_unique<WorkQueue>(kCreateWorkers);
    if (settings_.listen.isIpv6) flags |= MHD_USE_IPv6;
    daemon_ = MHD_start_daemon(flags, 0, nullptr, nullptr, &Callbacks::OnRequest, this,
                               MHD_OPTION_LISTEN_SOCKET, listenSocket_, MHD_OPTION_THREAD_POOL_SIZE,
                               settings_.threads, MHD_OPTION_CONNECTION_TIMEOUT,
                               settings_.connectionTimeoutSeconds, MHD_OPTION_CONNECTION_LIMIT,
                               settings_.connectionLimit, MHD_OPTION_NOTIFY_COMPLETED,
                               &Callbacks::OnCompleted, this, MHD_OPTION_UNESCAPE_CALLBACK,
                               &Callbacks::KeepEscapes, nullptr, MHD_OPTION_END);
    if (daemon_ == nullptr) {
        error = "cannot start the HTTP server on " + settings_.listen.HostAndPort();
        return false;
    }
    listenSocket_ = -1;  // libmicrohttpd's now
    return true;
}

HttpServer::~HttpServer() {
    Stop(std::chrono::milliseconds(0));
    if (listenSocket_ >= 0) close(listenSocket_);
}

void HttpServer::Stop(std::chrono::milliseconds grace) {
    if (daemon_ == nullptr) return;
    const MHD_socket listening = MHD_quiesce_daemon(daemon_);
    if (listening != MHD_INVALID_SOCKET) close(listening);
    const auto deadline = Clock::now() + grace;
    while (requestsUnderWay_.load() > 0 && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Creates still queued finish and resume their connections before the daemon goes.
    createWorkers_.reset();
    MHD_stop_daemon(daemon_);
    daemon_ = nullptr;
}

}  // namespace brenvik
