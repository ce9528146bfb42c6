#include "service/shortening_service.h"

#include <algorithm>
#include <ctime>

#include "common/percent_encoding.h"
#include "service/alias_generator.h"
#include "service/form_decoding.h"
#include "service/html_escape.h"
#include "service/json_writer.h"
#include "service/reply_messages.h"
#include "service/utf8_validation.h"

namespace brenvik {

namespace {

// Enough tries that a clash streak means trouble, not bad luck: with a million
// links, six random characters clash about once in 57,000 draws.
constexpr int kGeneratedAliasAttempts = 8;

constexpr const char* kJsonType = "application/json; charset=utf-8";
constexpr const char* kHtmlType = "text/html; charset=utf-8";

struct CreateAnswer {
    int status = 200;
    bool success = false;
    std::string alias;
    const char* message = "";
};

HttpReply HtmlPage(int status, std::string_view title, std::string_view bodyHtml) {
    std::string html =
        "<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>";
    html += title;
    html += "</title></head><body>\n";
    html += bodyHtml;
    html += "\n</body></html>\n";
    return {status, kHtmlType, std::move(html), {}};
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

// The media type of a Content-Type value, without parameters and surrounding blanks.
std::string_view MediaType(std::string_view contentType) {
    contentType = contentType.substr(0, contentType.find(';'));
    while (!contentType.empty() && (contentType.front() == ' ' || contentType.front() == '\t')) {
        contentType.remove_prefix(1);
    }
    while (!contentType.empty() && (contentType.back() == ' ' || contentType.back() == '\t')) {
        contentType.remove_suffix(1);
    }
    return contentType;
}

// The long address as a Location value: bytes outside ASCII are percent-encoded, as
// a browser would do itself; the address was checked to hold no blanks or controls.
std::string LocationFor(std::string_view longUrl) {
    return PercentEncode(longUrl, [](unsigned char byte) { return byte < 0x80; });
}

}  // namespace

ShorteningService::ShorteningService(LinkStore& store, ServiceSettings settings)
    : store_(store), settings_(std::move(settings)), rateLimiter_(settings_.createsPerMinute) {}

std::string ShorteningService::ShortUrlFor(std::string_view alias) const {
    return settings_.publicUrl + "/" + PercentEncode(alias);
}

HttpReply ShorteningService::Handle(const HttpRequest& request) {
    const bool isGet = request.method == "GET" || request.method == "HEAD";
    if (request.path == "/create.php") {
        if (request.method == "POST") return Create(request);
        HttpReply reply{405,
                        kJsonType,
                        JsonObjectWriter()
                            .Add("success", false)
                            .Add("tinyurl", "")
                            .Add("message", reply_messages::kPostOnly)
                            .Finish(),
                        {{"Allow", "POST"}}};
        return reply;
    }
    if (!isGet) {
        HttpReply reply = HtmlPage(405, "405", "<p>只接受 GET 请求</p>");
        reply.headers.emplace_back("Allow", "GET, HEAD");
        return reply;
    }
    if (request.path == "/") return HomePage();
    if (request.path == "/healthz") return {200, "text/plain; charset=utf-8", "ok\n", {}};
    if (request.path == "/favicon.ico" || request.path == "/robots.txt" ||
        request.path.size() < 2 || request.path.front() != '/') {
        return HtmlPage(404, "404", "<p>找不到该页面</p>");
    }
    return Redirect(request.path.substr(1), request.method == "GET");
}

HttpReply ShorteningService::Create(const HttpRequest& request) {
    using namespace reply_messages;
    CreateAnswer answer;
    std::string longUrl;
    HttpReply reply{200, kJsonType, {}, {}};

    const auto finish = [&]() {
        reply.status = answer.status;
        reply.body = JsonObjectWriter()
                         .Add("success", answer.success)
                         .Add("tinyurl", answer.success ? ShortUrlFor(answer.alias) : "")
                         .Add("longurl", longUrl)
                         .Add("alias", answer.alias)
                         .Add("message", answer.message)
                         .Finish();
        return reply;
    };
    const auto reject = [&](int status, const char* message) {
        answer.status = status;
        answer.message = message;
        return finish();
    };

    if (request.bodyTooLarge) return reject(413, kTooLarge);
    if (settings_.limitLoopback || !request.clientIsLoopback) {
        const int waitSeconds = rateLimiter_.SecondsUntilAllowed(request.clientAddress);
        if (waitSeconds > 0) {
            reply.headers.emplace_back("Retry-After", std::to_string(waitSeconds));
            return reject(429, kRateLimited);
        }
    }
    if (!request.contentType.empty() &&
        !EqualsIgnoringAsciiCase(MediaType(request.contentType),
                                 "application/x-www-form-urlencoded")) {
        return reject(400, kNotForm);
    }
    const FormFields form = ParseForm(request.body);
    switch (form.error) {
        case FormError::MalformedEscape: return reject(400, kMalformedEscape);
        case FormError::NotUtf8: return reject(400, kNotUtf8);
        case FormError::DuplicateField: return reject(400, kDuplicateField);
        case FormError::None: break;
    }
    longUrl = form.Value("url");
    answer.alias = form.Value("alias");
    if (const char* broken = CheckLongUrl(longUrl, settings_.ownOrigins)) {
        return reject(400, broken);
    }
    if (const char* broken = CheckAlias(answer.alias)) return reject(400, broken);

    Link link;
    link.longUrl = longUrl;
    link.createdAt = static_cast<std::int64_t>(std::time(nullptr));
    const auto found = [&](const Link& existing, const char* message) {
        answer.success = true;
        answer.alias = existing.alias;
        answer.message = message;
        return finish();
    };

    if (answer.alias.empty()) {
        link.generated = true;
        for (int attempt = 0; attempt < kGeneratedAliasAttempts; ++attempt) {
            const LookupResult earlier = store_.FindGeneratedFor(longUrl);
            if (earlier.status == LookupStatus::Found) return found(earlier.link, kFoundAgain);
            if (earlier.status == LookupStatus::Failed) break;
            link.alias = GenerateAlias();
            if (link.alias.empty()) break;
            const InsertOutcome outcome = store_.Insert(link);
            if (outcome == InsertOutcome::Inserted) return found(link, kCreated);
            if (outcome == InsertOutcome::Failed) break;
            // A clash: either the alias is taken, or another request has just made the
            // generated link for this address; the look-up above tells them apart.
        }
        answer.alias.clear();
        return reject(500, kStoreFailed);
    }

    link.alias = answer.alias;
    const InsertOutcome outcome = store_.Insert(link);
    if (outcome == InsertOutcome::Inserted) return found(link, kCreated);
    if (outcome == InsertOutcome::Clash) {
        const LookupResult holder = store_.FindByAlias(link.alias);
        if (holder.status == LookupStatus::Found) {
            if (holder.link.longUrl == longUrl) return found(holder.link, kFoundAgain);
            return reject(409, kAliasTaken);
        }
    }
    return reject(500, kStoreFailed);
}

HttpReply ShorteningService::Redirect(std::string_view encodedAlias, bool countVisit) {
    const auto alias = PercentDecode(encodedAlias, PlusSign::Literal);
    if (!alias) {
        return HtmlPage(400, "400", "<p>短网址格式错误（百分号编码无效）</p>");
    }
    const LookupResult result =
        IsValidUtf8(*alias) ? store_.FindByAlias(*alias) : LookupResult{LookupStatus::NotFound, {}};
    if (result.status == LookupStatus::Failed) {
        return HtmlPage(500, "500", "<p>服务暂时无法读取短网址，请稍后再试</p>");
    }
    if (result.status == LookupStatus::NotFound) {
        return HtmlPage(
            404, "404",
            "<h1>找不到短网址</h1>\n<p>“" + HtmlEscape(*alias) + "” 不是本服务生成的短网址。</p>");
    }
    if (countVisit) store_.CountVisit(result.link.alias);
    HttpReply reply{302, kHtmlType, {}, {}};
    const std::string location = LocationFor(result.link.longUrl);
    reply.body = "<a href=\"" + HtmlEscape(location) + "\">" + HtmlEscape(location) + "</a>\n";
    reply.headers.emplace_back("Location", location);
    reply.headers.emplace_back("Cache-Control", "private, max-age=60");
    return reply;
}

HttpReply ShorteningService::HomePage() const {
    const std::string createUrl = HtmlEscape(settings_.publicUrl + "/create.php");
    return HtmlPage(
        200, "Brenvik 短网址服务",
        "<h1>Brenvik 短网址服务</h1>\n"
        "<p>这是一个可自行部署的短网址服务：它把长网址变成短网址，访问短网址时跳转到原来的网址。</"
        "p>\n"
        "<p>Brenvik 短网址工具向 <code>" +
            createUrl +
            "</code> 提交表单字段 <code>url</code>（长网址）和 <code>alias</code>"
            "（自定义短网址，可以留空），得到 JSON 格式的回复。</p>");
}

}  // namespace brenvik
