// brenvik-shortd as a real process on loopback: creates, redirects and every rejection.

#include <gtest/gtest.h>

#include <algorithm>
#include <latch>
#include <thread>

#include "shortd_process.h"

namespace brenvik::testing {
namespace {

bool IsGeneratedAlias(const std::string& alias) {
    return alias.size() == 6 && std::all_of(alias.begin(), alias.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
           });
}

// True when `log` holds the line "<start><digits>us".
bool HasLogLine(const std::string& log, const std::string& start) {
    for (std::size_t at = log.find(start); at != std::string::npos; at = log.find(start, at + 1)) {
        if (at != 0 && log[at - 1] != '\n') continue;
        std::size_t end = at + start.size();
        const std::size_t digits = end;
        while (end < log.size() && log[end] >= '0' && log[end] <= '9') ++end;
        if (end > digits && log.compare(end, 3, "us\n") == 0) return true;
    }
    return false;
}

class ShortdTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(service_.IsRunning()) << ReadWholeFile(log_); }

    HttpResult Create(const std::string& formBody) {
        return PostCreate(service_.BaseUrl(), formBody);
    }
    HttpResult Get(const std::string& path) {
        return SendRequest(HttpMethod::Get, service_.BaseUrl() + path);
    }

    TempFolder folder_;
    std::filesystem::path database_ = folder_.Path("links.db");
    std::filesystem::path log_ = folder_.Path("shortd.log");
    ShortdProcess service_{database_, log_};
};

TEST_F(ShortdTest, CreatesAGeneratedLinkThatRedirects) {
    const HttpResult created =
        Create("url=https%3A%2F%2Fexample.com%2Fpath%3Fa%3D1%26b%3D2&alias=");
    ASSERT_EQ(created.status, 200) << created.body;
    EXPECT_EQ(created.Header("content-type"), "application/json; charset=utf-8");
    const FlatJsonObject json = created.Json();
    EXPECT_EQ(json.at("success"), FlatJsonValue{true});
    EXPECT_EQ(created.JsonText("message"), "短网址已生成");
    EXPECT_EQ(created.JsonText("longurl"), "https://example.com/path?a=1&b=2");
    const std::string alias = created.JsonText("alias");
    EXPECT_TRUE(IsGeneratedAlias(alias)) << alias;
    EXPECT_EQ(created.JsonText("tinyurl"), service_.BaseUrl() + "/" + alias);

    const HttpResult visit = Get("/" + alias);
    EXPECT_EQ(visit.status, 302);
    EXPECT_EQ(visit.Header("location"), "https://example.com/path?a=1&b=2");
    EXPECT_EQ(visit.Header("cache-control"), "private, max-age=60");

    // One log line per request: method, path without query, status, microseconds.
    service_.Stop();
    EXPECT_TRUE(HasLogLine(ReadWholeFile(log_), "GET /" + alias + " 302 ")) << ReadWholeFile(log_);
}

TEST_F(ShortdTest, SameAddressWithoutAliasGivesTheEarlierLink) {
    const HttpResult first = Create("url=https%3A%2F%2Fexample.com%2Fsame");
    const HttpResult again = Create("url=https%3A%2F%2Fexample.com%2Fsame&alias=");
    const HttpResult other = Create("url=https%3A%2F%2Fexample.com%2Fother");
    ASSERT_EQ(first.status, 200);
    EXPECT_EQ(again.status, 200);
    EXPECT_EQ(again.JsonText("tinyurl"), first.JsonText("tinyurl"));
    EXPECT_EQ(again.JsonText("message"), "短网址已存在");
    EXPECT_NE(other.JsonText("tinyurl"), first.JsonText("tinyurl"));
}

TEST_F(ShortdTest, CustomAliasIsKeptAndGuarded) {
    const HttpResult created =
        Create("url=https%3A%2F%2Fexample.com%2F%3Fq%3Da%2Bb&alias=my-link_1");
    ASSERT_EQ(created.status, 200) << created.body;
    EXPECT_EQ(created.JsonText("tinyurl"), service_.BaseUrl() + "/my-link_1");
    // "%2B" stays a plus sign: nothing is altered on the way.
    EXPECT_EQ(Get("/my-link_1").Header("location"), "https://example.com/?q=a+b");

    const HttpResult sameAgain =
        Create("url=https%3A%2F%2Fexample.com%2F%3Fq%3Da%2Bb&alias=my-link_1");
    EXPECT_EQ(sameAgain.status, 200);
    EXPECT_EQ(sameAgain.JsonText("message"), "短网址已存在");

    const HttpResult taken = Create("url=https%3A%2F%2Fexample.org%2F&alias=my-link_1");
    EXPECT_EQ(taken.status, 409);
    EXPECT_EQ(taken.JsonText("message"), "该短网址已被占用");
    EXPECT_EQ(taken.JsonText("tinyurl"), "");
    EXPECT_EQ(taken.Json().at("success"), FlatJsonValue{false});

    // Aliases compare exactly: another case is another alias.
    EXPECT_EQ(Create("url=https%3A%2F%2Fexample.org%2F&alias=MY-LINK_1").status, 200);
}

TEST_F(ShortdTest, ChineseAliasIsPercentEncodedInTheShortAddress) {
    const HttpResult created =
        Create("url=https%3A%2F%2Fexample.com%2Fzh&alias=%E4%B8%AD%E6%96%87");
    ASSERT_EQ(created.status, 200) << created.body;
    EXPECT_EQ(created.JsonText("alias"), "中文");
    EXPECT_EQ(created.JsonText("tinyurl"), service_.BaseUrl() + "/%E4%B8%AD%E6%96%87");
    const HttpResult visit = Get("/%E4%B8%AD%E6%96%87");
    EXPECT_EQ(visit.status, 302);
    EXPECT_EQ(visit.Header("location"), "https://example.com/zh");
}

struct Rejection {
    const char* name;
    std::string body;
    long status;
    const char* message;
    std::string contentType = "application/x-www-form-urlencoded";
};

TEST_F(ShortdTest, EveryBrokenRuleIsRefusedWithItsMessage) {
    ASSERT_EQ(Create("url=https%3A%2F%2Fexample.com%2Ftaken&alias=taken").status, 200);
    const std::string ownAddress = "http%3A%2F%2F127.0.0.1%3A" + std::to_string(service_.Port());
    const std::vector<Rejection> rejections = {
        {"empty url", "url=&alias=", 400, "网址不能为空"},
        {"no url field", "alias=abc", 400, "网址不能为空"},
        {"javascript", "url=javascript%3Aalert(1)", 400, "只接受 http 或 https 网址"},
        {"data", "url=data%3Atext%2Fhtml%2C%3Cb%3Ex", 400, "只接受 http 或 https 网址"},
        {"file", "url=file%3A%2F%2F%2Fetc%2Fpasswd", 400, "只接受 http 或 https 网址"},
        {"ftp", "url=ftp%3A%2F%2Fexample.com%2F", 400, "只接受 http 或 https 网址"},
        {"relative", "url=example.com%2Fpage", 400, "只接受 http 或 https 网址"},
        {"no host", "url=http%3A%2F%2F%2Fpath", 400, "网址缺少主机名"},
        {"no slashes", "url=https%3Aexample.com", 400, "网址缺少主机名"},
        {"bad port", "url=http%3A%2F%2Fexample.com%3A99999%2F", 400, "网址的端口无效"},
        {"space", "url=https%3A%2F%2Fexample.com%2Fa+b", 400, "网址不能包含空格或控制字符"},
        {"newline", "url=https%3A%2F%2Fexample.com%2F%0A", 400, "网址不能包含空格或控制字符"},
        {"too long", "url=https%3A%2F%2Fexample.com%2F" + std::string(8200, 'a'), 400,
         "网址过长（最多 8192 字节）"},
        {"own origin", "url=" + ownAddress + "%2Ftaken", 400, "不能缩短本服务自己的网址"},
        {"alias with dot", "url=https%3A%2F%2Fexample.com%2F&alias=a.b", 400,
         "自定义短网址只能包含字母、数字、“-”和“_”"},
        {"alias with space", "url=https%3A%2F%2Fexample.com%2F&alias=a+b", 400,
         "自定义短网址只能包含字母、数字、“-”和“_”"},
        {"alias with slash", "url=https%3A%2F%2Fexample.com%2F&alias=a%2Fb", 400,
         "自定义短网址只能包含字母、数字、“-”和“_”"},
        {"alias 65 long", "url=https%3A%2F%2Fexample.com%2F&alias=" + std::string(65, 'a'), 400,
         "自定义短网址最多 64 个字符"},
        {"reserved", "url=https%3A%2F%2Fexample.com%2F&alias=healthz", 400, "该短网址为保留名称"},
        {"reserved page", "url=https%3A%2F%2Fexample.com%2F&alias=create.php", 400,
         "该短网址为保留名称"},
        {"taken", "url=https%3A%2F%2Fexample.com%2Fother&alias=taken", 409, "该短网址已被占用"},
        {"bad escape", "url=%zz", 400, "请求数据格式错误（百分号编码无效）"},
        {"cut escape", "url=https%3A%2F%2Fexample.com%2&alias=", 400,
         "请求数据格式错误（百分号编码无效）"},
        {"escape in alias", "url=https%3A%2F%2Fexample.com%2F&alias=%", 400,
         "请求数据格式错误（百分号编码无效）"},
        {"not utf-8", "url=https%3A%2F%2Fexample.com%2F%FF", 400,
         "请求数据格式错误（不是有效的 UTF-8 文本）"},
        {"duplicate url", "url=https%3A%2F%2Fa.com%2F&url=https%3A%2F%2Fb.com%2F", 400,
         "请求数据格式错误（字段重复）"},
        {"not a form", "{\"url\":\"https://example.com/\"}", 400,
         "请求数据格式错误（只接受表单编码）", "application/json"},
    };
    for (const Rejection& rejection : rejections) {
        SCOPED_TRACE(std::string(rejection.name) + ": " + rejection.body.substr(0, 120));
        const HttpResult reply =
            SendRequest(HttpMethod::Post, service_.BaseUrl() + "/create.php", rejection.body,
                        {"Content-Type: " + rejection.contentType});
        EXPECT_EQ(reply.status, rejection.status) << reply.body;
        EXPECT_EQ(reply.JsonText("message"), rejection.message);
        EXPECT_EQ(reply.JsonText("tinyurl"), "");
        EXPECT_EQ(reply.Json().count("success") ? reply.Json().at("success") : FlatJsonValue{},
                  FlatJsonValue{false});
    }
    // None of them left a link behind: the taken alias still leads where it did.
    EXPECT_EQ(Get("/taken").Header("location"), "https://example.com/taken");
}

TEST_F(ShortdTest, BodiesOverTheLimitAreRefused) {
    const std::string prefix = "url=https%3A%2F%2Fexample.com%2F&alias=&pad=";
    const std::string atLimit = prefix + std::string(64 * 1024 - prefix.size(), 'x');
    EXPECT_EQ(Create(atLimit).status, 200);

    const std::string overLimit = atLimit + "x";
    const HttpResult declared = Create(overLimit);
    EXPECT_EQ(declared.status, 413);
    EXPECT_EQ(declared.JsonText("message"), "请求过大");

    // Without a declared length the body is counted as it arrives.
    const HttpResult chunked = SendRequest(
        HttpMethod::Post, service_.BaseUrl() + "/create.php", overLimit,
        {"Content-Type: application/x-www-form-urlencoded", "Transfer-Encoding: chunked"});
    EXPECT_EQ(chunked.status, 413);
    EXPECT_EQ(chunked.JsonText("message"), "请求过大");

    // The service goes on answering.
    EXPECT_EQ(Get("/healthz").status, 200);
}

TEST_F(ShortdTest, PagesEscapeWhatReachesHtml) {
    const HttpResult unknown = Get("/%3Cscript%3Ealert(%22x%22)%3C%2Fscript%3E");
    EXPECT_EQ(unknown.status, 404);
    EXPECT_EQ(unknown.Header("content-type"), "text/html; charset=utf-8");
    EXPECT_EQ(unknown.body.find("<script>"), std::string::npos) << unknown.body;
    EXPECT_NE(unknown.body.find("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;"),
              std::string::npos)
        << unknown.body;

    const HttpResult malformed = Get("/%zz");
    EXPECT_EQ(malformed.status, 400);

    const HttpResult home = Get("/");
    EXPECT_EQ(home.status, 200);
    EXPECT_NE(home.body.find("短网址服务"), std::string::npos);
    EXPECT_EQ(Get("/healthz").status, 200);
    EXPECT_EQ(Get("/create.php").status, 405);
}

TEST_F(ShortdTest, ManyClientsRacingForOneAliasGiveOneWinner) {
    constexpr int kClients = 24;
    std::vector<HttpResult> replies(kClients);
    std::latch start(kClients);
    std::vector<std::thread> clients;
    for (int i = 0; i < kClients; ++i) {
        clients.emplace_back([&, i] {
            start.arrive_and_wait();
            replies[i] = Create("url=https%3A%2F%2Fexample.com%2Fracer" + std::to_string(i) +
                                "&alias=prize");
        });
    }
    for (auto& client : clients) client.join();
    int winners = 0;
    std::string winningUrl;
    for (const HttpResult& reply : replies) {
        if (reply.status == 200) {
            ++winners;
            winningUrl = reply.JsonText("longurl");
        } else {
            EXPECT_EQ(reply.status, 409) << reply.body;
            EXPECT_EQ(reply.JsonText("message"), "该短网址已被占用");
        }
    }
    EXPECT_EQ(winners, 1);
    EXPECT_EQ(Get("/prize").Header("location"), winningUrl);
}

TEST(ShortdRateLimit, CreatesBeyondTheBucketWaitWithRetryAfter) {
    TempFolder folder;
    ShortdProcess service(folder.Path("links.db"), folder.Path("log"),
                          {"--rate-limit", "2", "--limit-loopback"});
    ASSERT_TRUE(service.IsRunning());
    EXPECT_EQ(PostCreate(service.BaseUrl(), "url=https%3A%2F%2Fexample.com%2F1").status, 200);
    EXPECT_EQ(PostCreate(service.BaseUrl(), "url=https%3A%2F%2Fexample.com%2F2").status, 200);
    const HttpResult limited = PostCreate(service.BaseUrl(), "url=https%3A%2F%2Fexample.com%2F3");
    EXPECT_EQ(limited.status, 429);
    EXPECT_EQ(limited.JsonText("message"), "请求过于频繁，请稍后再试");
    const int retryAfter = std::atoi(limited.Header("retry-after").c_str());
    EXPECT_GE(retryAfter, 1);
    EXPECT_LE(retryAfter, 30);
    // Redirects are not limited.
    EXPECT_EQ(SendRequest(HttpMethod::Get, service.BaseUrl() + "/healthz").status, 200);
}

TEST(ShortdRateLimit, LoopbackIsExemptByDefault) {
    TempFolder folder;
    ShortdProcess service(folder.Path("links.db"), folder.Path("log"), {"--rate-limit", "1"});
    ASSERT_TRUE(service.IsRunning());
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(
            PostCreate(service.BaseUrl(), "url=https%3A%2F%2Fexample.com%2F" + std::to_string(i))
                .status,
            200);
    }
}

}  // namespace
}  // namespace brenvik::testing
