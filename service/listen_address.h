#pragma once

#include <netinet/in.h>

#include <optional>
#include <string>
#include <string_view>

namespace brenvik {

// A numeric IPv4 or IPv6 address and a port, as given to --listen.
struct ListenAddress {
    std::string host = "127.0.0.1";  // without brackets
    int port = 0;
    bool isIpv6 = false;

    // "127.0.0.1:8731" or "[::1]:8731", the form an http:// address uses.
    std::string HostAndPort() const;
    // The socket address to bind; sockaddr_in6 leaves room for both families.
    sockaddr_in6 SocketAddress() const;
};

// Parses "ADDR:PORT" ("[ADDR]:PORT" for IPv6); port 0 lets the system pick one.
std::optional<ListenAddress> ParseListenAddress(std::string_view text);

}  // namespace brenvik
