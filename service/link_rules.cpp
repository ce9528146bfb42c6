#include "service/link_rules.h"

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <array>

#include "service/reply_messages.h"
#include "service/utf8_validation.h"

namespace brenvik {

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return AsciiLower(x) == AsciiLower(y);
           });
}

bool IsSchemeCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '-' || c == '.';
}

// Letters and digits of every script, as the C.UTF-8 character classes define them;
// the locale is made once and never depends on the environment.
bool IsLetterOrDigit(char32_t codePoint) {
    static const locale_t utf8Locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
    if (codePoint < 0x80) {
        return (codePoint >= 'a' && codePoint <= 'z') || (codePoint >= 'A' && codePoint <= 'Z') ||
               (codePoint >= '0' && codePoint <= '9');
    }
    return utf8Locale != locale_t{} && iswalnum_l(static_cast<wint_t>(codePoint), utf8Locale);
}

enum class AuthorityProblem { None, NoHost, BadPort };

struct SplitUrl {
    std::string_view scheme;
    std::string_view authority;
    bool hasAuthority = false;
};

// Splits "scheme://authority/rest"; the scheme is empty when the address has none.
SplitUrl SplitSchemeAndAuthority(std::string_view url) {
    SplitUrl split;
    const std::size_t colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0) return split;
    const std::string_view scheme = url.substr(0, colon);
    if (!std::all_of(scheme.begin(), scheme.end(), IsSchemeCharacter) ||
        !((scheme[0] >= 'a' && scheme[0] <= 'z') || (scheme[0] >= 'A' && scheme[0] <= 'Z'))) {
        return split;
    }
    split.scheme = scheme;
    std::string_view rest = url.substr(colon + 1);
    if (rest.substr(0, 2) != "//") return split;
    rest.remove_prefix(2);
    split.hasAuthority = true;
    split.authority = rest.substr(0, rest.find_first_of("/?#"));
    return split;
}

AuthorityProblem ReadAuthority(std::string_view authority, int defaultPort, WebOrigin& origin) {
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos) authority.remove_prefix(at + 1);
    std::string_view host = authority;
    std::string_view port;
    if (!authority.empty() && authority.front() == '[') {
        const std::size_t close = authority.find(']');
        if (close == std::string_view::npos) return AuthorityProblem::NoHost;
        host = authority.substr(0, close + 1);
        std::string_view after = authority.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':') return AuthorityProblem::BadPort;
            port = after.substr(1);
        }
        if (host.size() <= 2) return AuthorityProblem::NoHost;
    } else {
        const std::size_t colon = authority.rfind(':');
        if (colon != std::string_view::npos) {
            host = authority.substr(0, colon);
            port = authority.substr(colon + 1);
        }
    }
    if (host.empty()) return AuthorityProblem::NoHost;
    int portNumber = defaultPort;
    if (!port.empty()) {
        if (port.size() > 5 ||
            !std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; })) {
            return AuthorityProblem::BadPort;
        }
        portNumber = std::stoi(std::string(port));
        if (portNumber < 1 || portNumber > 65535) return AuthorityProblem::BadPort;
    }
    origin.host.assign(host);
    std::transform(origin.host.begin(), origin.host.end(), origin.host.begin(), AsciiLower);
    origin.port = portNumber;
    return AuthorityProblem::None;
}

int DefaultPortOf(std::string_view scheme) {
    if (EqualsIgnoringAsciiCase(scheme, "http")) return 80;
    if (EqualsIgnoringAsciiCase(scheme, "https")) return 443;
    return 0;
}

}  // namespace

std::optional<WebOrigin> ParseWebOrigin(std::string_view url) {
    const SplitUrl split = SplitSchemeAndAuthority(url);
    const int defaultPort = DefaultPortOf(split.scheme);
    if (defaultPort == 0 || !split.hasAuthority) return std::nullopt;
    WebOrigin origin;
    if (ReadAuthority(split.authority, defaultPort, origin) != AuthorityProblem::None) {
        return std::nullopt;
    }
    origin.scheme = defaultPort == 80 ? "http" : "https";
    return origin;
}

const char* CheckLongUrl(std::string_view url, std::span<const WebOrigin> serviceOrigins) {
    using namespace reply_messages;
    if (url.empty()) return kUrlEmpty;
    if (url.size() > kMaxLongUrlBytes) return kUrlTooLong;
    if (std::any_of(url.begin(), url.end(), [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte <= 0x20 || byte == 0x7F;
        })) {
        return kUrlHasSpaceOrControl;
    }
    const SplitUrl split = SplitSchemeAndAuthority(url);
    const int defaultPort = DefaultPortOf(split.scheme);
    if (defaultPort == 0) return kUrlSchemeNotAllowed;
    if (!split.hasAuthority) return kUrlWithoutHost;
    WebOrigin origin;
    switch (ReadAuthority(split.authority, defaultPort, origin)) {
        case AuthorityProblem::NoHost: return kUrlWithoutHost;
        case AuthorityProblem::BadPort: return kUrlBadPort;
        case AuthorityProblem::None: break;
    }
    for (const WebOrigin& serviceOrigin : serviceOrigins) {
        if (origin.SameHostAndPort(serviceOrigin)) return kUrlPointsAtService;
    }
    return nullptr;
}

bool IsReservedAlias(std::string_view alias) {
    static constexpr std::array<std::string_view, 14> kReserved = {
        "create.php", "create",    "healthz", "favicon.ico", "robots.txt",
        "index.html", "index.php", "api",     "admin",       "static",
        "assets",     "export",    "import",  "sitemap.xml"};
    return std::any_of(kReserved.begin(), kReserved.end(), [alias](std::string_view name) {
        return EqualsIgnoringAsciiCase(alias, name);
    });
}

const char* CheckAlias(std::string_view alias) {
    using namespace reply_messages;
    if (alias.empty()) return nullptr;
    if (IsReservedAlias(alias)) return kAliasReserved;
    std::size_t characters = 0;
    std::size_t pos = 0;
    bool allAllowed = true;
    while (pos < alias.size()) {
        const auto codePoint = NextCodePoint(alias, pos);
        if (!codePoint) return kAliasBadCharacters;
        ++characters;
        if (*codePoint != '-' && *codePoint != '_' && !IsLetterOrDigit(*codePoint)) {
            allAllowed = false;
        }
    }
    if (characters > kMaxAliasCharacters) return kAliasTooLong;
    if (!allAllowed) return kAliasBadCharacters;
    return nullptr;
}

}  // namespace brenvik
