#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "automation/objects/xml_http_request.h"
#include "automation_fixture.h"
#include "test_http_server.h"

namespace brenvik {
namespace {

using testing::CannedResponse;
using testing::TestHttpServer;

// A loopback port on which nothing listens.
std::uint16_t ClosedPort() {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
    socklen_t len = sizeof a;
    getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
    close(s);
    return ntohs(a.sin_port);
}

class HttpObjectTest : public testing::AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        ASSERT_TRUE(CreateObject(request, "MSXML2.XMLHTTP"));
    }
    void TearDown() override {
        SetXmlHttpLimitsForTesting(DefaultXmlHttpLimits());
        AutomationTest::TearDown();
    }

    // One POST the way the shortening client makes it; returns the reply body.
    std::string Post(const std::string& url, const Text& body) {
        CallMethod(request, "open", {"POST", Text(url), false});
        CallMethod(request, "SetRequestHeader", {"Accept-Language", "zh-cn"});
        CallMethod(request, "SetRequestHeader",
                   {"Content-Type", "application/x-www-form-urlencoded"});
        CallMethod(request, "send", {body});
        Bytes reply = VariantToBytes(GetProperty(request, "responseBody"));
        return std::string(reply.begin(), reply.end());
    }

    AutomationObject request;
};

TEST_F(HttpObjectTest, SendsTheBodyAsUtf8WithHeadersInOrder) {
    TestHttpServer server;
    server.Respond({200, "{\"ok\":1}"});
    EXPECT_EQ(Post(server.Url("/create.php"), Text("url=\xD6\xD0&alias=k")), "{\"ok\":1}");

    const auto received = server.LastRequest();
    EXPECT_EQ(received.method, "POST");
    EXPECT_EQ(received.path, "/create.php");
    EXPECT_EQ(received.body, "url=\xE4\xB8\xAD&alias=k");
    std::vector<std::string> names;
    for (const auto& [name, value] : received.headers) names.push_back(name);
    auto accept = std::find(names.begin(), names.end(), "Accept-Language");
    auto type = std::find(names.begin(), names.end(), "Content-Type");
    ASSERT_NE(accept, names.end());
    ASSERT_NE(type, names.end());
    EXPECT_LT(accept, type);
    EXPECT_EQ(received.Header("Accept-Language"), "zh-cn");
    EXPECT_EQ(received.Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(received.Header("Expect"), "");
}

TEST_F(HttpObjectTest, OpenStartsAFreshRequestOnTheSameObject) {
    TestHttpServer server;
    CallMethod(request, "open", {"POST", Text(server.Url("/a")), false});
    CallMethod(request, "SetRequestHeader", {"X-First", "1"});
    CallMethod(request, "send", {"one"});
    CallMethod(request, "open", {"POST", Text(server.Url("/b")), false});
    CallMethod(request, "send", {"two"});
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].path, "/b");
    EXPECT_EQ(requests[1].body, "two");
    EXPECT_EQ(requests[1].Header("X-First"), "");
    // send without a new open is refused
    CallMethod(request, "send", {"three"});
    EXPECT_EQ(server.Requests().size(), 2u);
}

TEST_F(HttpObjectTest, ErrorStatusStillGivesItsBody) {
    TestHttpServer server;
    server.Respond(
        {500, "<html><body>Internal error</body></html>", {{"Content-Type", "text/html"}}});
    EXPECT_EQ(Post(server.Url("/create.php"), "url=&alias="),
              "<html><body>Internal error</body></html>");
}

TEST_F(HttpObjectTest, FollowsRedirectsAndDecodesGzip) {
    TestHttpServer target;
    target.Respond({200,
                    testing::Gzip("{\"tinyurl\":\"http://s/x\"}"),
                    {{"Content-Type", "application/json"}, {"Content-Encoding", "gzip"}}});
    TestHttpServer redirector;
    redirector.Respond({307, "", {{"Location", target.Url("/create.php")}}});
    EXPECT_EQ(Post(redirector.Url("/create.php"), "url=a"), "{\"tinyurl\":\"http://s/x\"}");
    EXPECT_EQ(target.LastRequest().body, "url=a");  // 307 keeps the method and body
    EXPECT_NE(target.LastRequest().Header("Accept-Encoding").find("gzip"), std::string::npos);
}

TEST_F(HttpObjectTest, FailuresLeaveResponseBodyEmpty) {
    TestHttpServer server;
    server.Respond({200, "first"});
    EXPECT_EQ(Post(server.Url("/"), "x"), "first");

    // connection refused
    EXPECT_EQ(Post("http://127.0.0.1:" + std::to_string(ClosedPort()) + "/create.php", "x"), "");

    // a server that never answers, with the time-outs shortened
    XmlHttpLimits limits = DefaultXmlHttpLimits();
    limits.totalTimeout = std::chrono::milliseconds(300);
    SetXmlHttpLimitsForTesting(limits);
    CannedResponse stall;
    stall.stall = true;
    server.Respond(stall);
    EXPECT_EQ(Post(server.Url("/"), "x"), "");

    // a body over the cap
    limits = DefaultXmlHttpLimits();
    limits.maxBodyBytes = 1000;
    SetXmlHttpLimitsForTesting(limits);
    server.Respond({200, std::string(1001, 'a')});
    EXPECT_EQ(Post(server.Url("/"), "x"), "");
    server.Respond({200, std::string(1000, 'a')});
    EXPECT_EQ(Post(server.Url("/"), "x").size(), 1000u);
}

TEST_F(HttpObjectTest, RefusesWhatItCannotDo) {
    TestHttpServer server;
    CallMethod(request, "open", {"POST", Text(server.Url("/")), true});  // asynchronous
    CallMethod(request, "send", {"x"});
    CallMethod(request, "open", {"POST", Text("file:///etc/passwd"), false});
    CallMethod(request, "send", {"x"});
    EXPECT_TRUE(VariantToBytes(GetProperty(request, "responseBody")).empty());
    CallMethod(request, "open", {"POST", Text(server.Url("/")), false});
    CallMethod(request, "SetRequestHeader", {"X-Bad", "a\r\nInjected: 1"});
    CallMethod(request, "send", {"x"});
    EXPECT_EQ(server.LastRequest().Header("Injected"), "");
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(HttpObjectTest, BothIdentifiersGiveTheRequestObject) {
    TestHttpServer server;
    server.Respond({200, "legacy"});
    ASSERT_TRUE(CreateObject(request, "Microsoft.XMLHTTP"));
    EXPECT_EQ(Post(server.Url("/"), "x"), "legacy");
}

}  // namespace
}  // namespace brenvik
