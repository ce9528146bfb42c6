#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace brenvik {

inline constexpr std::size_t kMaxLongUrlBytes = 8192;
inline constexpr std::size_t kMaxAliasCharacters = 64;

// Scheme, host and port of an http or https address, host in lower case, port filled
// in from the scheme when the address names none.
struct WebOrigin {
    std::string scheme;
    std::string host;
    int port = 0;

    bool SameHostAndPort(const WebOrigin& other) const {
        return host == other.host && port == other.port;
    }
};

// The origin of an absolute http/https address, or empty when it is not one.
std::optional<WebOrigin> ParseWebOrigin(std::string_view url);

// The rule a long address breaks, as the Chinese message the reply carries, or
// nullptr when the address is acceptable. The service's own origins are refused as
// targets so that a short address never leads back to the service.
const char* CheckLongUrl(std::string_view url, std::span<const WebOrigin> serviceOrigins);

// The same for a custom alias (already decoded, strict UTF-8). An empty alias is
// acceptable: it asks for a generated one.
const char* CheckAlias(std::string_view alias);

// Names the service answers itself, never handed out as aliases.
bool IsReservedAlias(std::string_view alias);

}  // namespace brenvik
