#include "shortening/request_short_url.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "../automation/automation_fixture.h"
#include "json/json_object.h"
#include "shortening/http_request.h"
#include "test_http_server.h"

namespace brenvik {
namespace {

using testing::CannedResponse;
using testing::Hex;
using testing::TestHttpServer;

// The service address is read once per process, so one server serves the whole
// suite; each test sets how it answers.
TestHttpServer* server = nullptr;

class Environment : public ::testing::Environment {
public:
    void SetUp() override {
        server = new TestHttpServer();
        setenv("BRENVIK_SERVICE_URL", server->Url("/create.php").c_str(), 1);
    }
    void TearDown() override { delete server; }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new Environment);

class RequestShortUrlTest : public testing::AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        httpRequest = std::make_unique<AutomationObject>();
        ASSERT_TRUE(CreateObject(*httpRequest, "MSXML2.XMLHTTP"));
        server->Respond({200, "{}"});
    }
    void TearDown() override {
        httpRequest.reset();
        AutomationTest::TearDown();
    }
};

TEST_F(RequestShortUrlTest, ServiceUrlComesFromTheEnvironment) {
    EXPECT_EQ(ServiceUrl().str(), server->Url("/create.php"));
}

TEST_F(RequestShortUrlTest, FormBodyIsPercentEncoded) {
    const struct {
        const char* name;
        Text longUrl;
        Text alias;
        const char* body;
    } cases[] = {
        {"reserved characters in the address", "p?a=1&b=2", "k", "url=p%3Fa%3D1%26b%3D2&alias=k"},
        {"both empty", Text(), Text(), "url=&alias="},
        {"plus, percent and space", "a+b %", "x y", "url=a%2Bb%20%25&alias=x%20y"},
        {"chinese alias as utf-8", "http://e.com/", Text::FromUtf8("短"),
         "url=http%3A%2F%2Fe.com%2F&alias=%E7%9F%AD"},
        {"unreserved kept", "AZaz09-._~", "", "url=AZaz09-._~&alias="},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RequestShortUrl(c.longUrl, c.alias);
        EXPECT_EQ(server->LastRequest().body, c.body);
    }
}

TEST_F(RequestShortUrlTest, SendsOnePostWithTheTwoHeaders) {
    const std::size_t before = server->Requests().size();
    RequestShortUrl("http://example.com/", "abc");
    const auto requests = server->Requests();
    ASSERT_EQ(requests.size(), before + 1);
    const auto& r = requests.back();
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.path, "/create.php");
    EXPECT_EQ(r.Header("Accept-Language"), "zh-cn");
    EXPECT_EQ(r.Header("Content-Type"), "application/x-www-form-urlencoded");
    int accept = -1, type = -1;
    for (int i = 0; i < static_cast<int>(r.headers.size()); ++i) {
        if (r.headers[i].first == "Accept-Language") accept = i;
        if (r.headers[i].first == "Content-Type") type = i;
    }
    EXPECT_LT(accept, type);
}

TEST_F(RequestShortUrlTest, ReplyBecomesCodePageText) {
    const struct {
        const char* name;
        CannedResponse reply;
        const char* expected;  // hex of the Text
    } cases[] = {
        {"json reply", {200, "{\"a\":1}"}, "7B 22 61 22 3A 31 7D"},
        {"chinese", {200, "\xE4\xB8\xAD\xE6\x96\x87"}, "D6 D0 CE C4"},
        {"error status with html",
         {404, "<p>x</p>", {{"Content-Type", "text/html"}}},
         "3C 70 3E 78 3C 2F 70 3E"},
        {"zero-byte body", {200, ""}, ""},
        {"zero byte in the middle", {200, std::string("ab\0cd", 5)}, "61 62"},
        {"byte-order mark dropped", {200, "\xEF\xBB\xBF{}"}, "7B 7D"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        server->Respond(c.reply);
        EXPECT_EQ(Hex(RequestShortUrl("http://a/", "")), c.expected);
    }
}

TEST_F(RequestShortUrlTest, AReplyWithAByteOrderMarkStillParses) {
    server->Respond({200, "\xEF\xBB\xBF{\"tinyurl\":\"http://s/k\",\"message\":\"\xE5\xA5\xBD\"}"});
    const Text reply = RequestShortUrl("http://a/", "k");
    ASSERT_FALSE(reply.IsEmpty());
    EXPECT_EQ(reply.view().front(), '{');
    JsonObject json;
    EXPECT_TRUE(json.Parse(reply));
    EXPECT_EQ(json.GetText("tinyurl", false), Text("http://s/k"));
    EXPECT_EQ(json.GetText("message", false), Text::FromUtf8("好"));
    json.Destroy();
}

TEST_F(RequestShortUrlTest, NothingComesBackWithoutARequestObject) {
    const std::size_t before = server->Requests().size();
    server->Respond({200, "{\"tinyurl\":\"x\"}"});
    httpRequest = std::make_unique<AutomationObject>();  // empty holder
    EXPECT_EQ(RequestShortUrl("http://a/", "b"), Text());
    httpRequest.reset();  // no holder at all
    EXPECT_EQ(RequestShortUrl("http://a/", "b"), Text());
    EXPECT_EQ(server->Requests().size(), before);
}

TEST_F(RequestShortUrlTest, ADroppedConnectionGivesTheEmptyText) {
    server->Respond({200, "{\"tinyurl\":\"first\"}"});
    EXPECT_NE(RequestShortUrl("http://a/", ""), Text());
    CannedResponse drop;
    drop.drop = true;
    server->Respond(drop);
    EXPECT_EQ(RequestShortUrl("http://a/", ""), Text());
}

}  // namespace
}  // namespace brenvik
