#include "service/listen_address.h"

#include <arpa/inet.h>

#include <algorithm>
#include <cstring>

namespace brenvik {

std::string ListenAddress::HostAndPort() const {
    return (isIpv6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

sockaddr_in6 ListenAddress::SocketAddress() const {
    sockaddr_in6 storage{};
    if (isIpv6) {
        storage.sin6_family = AF_INET6;
        storage.sin6_port = htons(static_cast<std::uint16_t>(port));
        inet_pton(AF_INET6, host.c_str(), &storage.sin6_addr);
    } else {
        sockaddr_in v4{};
        v4.sin_family = AF_INET;
        v4.sin_port = htons(static_cast<std::uint16_t>(port));
        inet_pton(AF_INET, host.c_str(), &v4.sin_addr);
        std::memcpy(&storage, &v4, sizeof v4);
    }
    return storage;
}

std::optional<ListenAddress> ParseListenAddress(std::string_view text) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos) return std::nullopt;
    std::string_view host = text.substr(0, colon);
    const std::string_view port = text.substr(colon + 1);
    if (port.empty() || port.size() > 5 ||
        !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    ListenAddress address;
    address.port = std::stoi(std::string(port));
    if (address.port > 65535) return std::nullopt;
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
        address.isIpv6 = true;
    }
    address.host.assign(host);
    unsigned char scratch[sizeof(in6_addr)];
    if (inet_pton(address.isIpv6 ? AF_INET6 : AF_INET, address.host.c_str(), scratch) != 1) {
        return std::nullopt;
    }
    return address;
}

}  // namespace brenvik
