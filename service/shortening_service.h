#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "service/link_rules.h"
#include "service/link_store.h"
#include "service/rate_limiter.h"

namespace brenvik {

inline constexpr std::size_t kMaxRequestBodyBytes = 64 * 1024;

struct HttpReply {
    int status = 200;
    std::string contentType;
    std::string body;
    std::vector<std::pair<std::string, std::string>> headers;
};

// One request as the HTTP layer hands it over; `path` is still percent-encoded and
// has no query.
struct HttpRequest {
    std::string_view method;
    std::string_view path;
    std::string_view contentType;  // "" when the header is absent
    std::string_view body;
    bool bodyTooLarge = false;
    std::string clientAddress;
    bool clientIsLoopback = false;
};

struct ServiceSettings {
    // Origin and path prefix of the short addresses, without a trailing "/".
    std::string publicUrl;
    // Addresses that lead back to this service and must not be shortened.
    std::vector<WebOrigin> ownOrigins;
    int createsPerMinute = 60;  // per client address; 0: no limit
    bool limitLoopback = false;
};

// The service's answers, independent of the HTTP library: creates at POST
// /create.php, redirects at GET /<alias>, a home page and a health check.
class ShorteningService {
public:
    ShorteningService(LinkStore& store, ServiceSettings settings);

    HttpReply Handle(const HttpRequest& request);

private:
    HttpReply Create(const HttpRequest& request);
    HttpReply Redirect(std::string_view encodedAlias, bool countVisit);
    HttpReply HomePage() const;
    std::string ShortUrlFor(std::string_view alias) const;

    LinkStore& store_;
    const ServiceSettings settings_;
    RateLimiter rateLimiter_;
};

}  // namespace brenvik
