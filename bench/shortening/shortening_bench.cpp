// RequestShortUrl beside a bare libcurl POST of the same body to the same
// loopback server, and ConvertCodePage of a 1 KiB reply.
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include <cstdlib>
#include <memory>

#include "automation/automation.h"
#include "shortening/convert_code_page.h"
#include "shortening/http_request.h"
#include "shortening/request_short_url.h"
#include "test_http_server.h"

namespace brenvik {
namespace {

constexpr const char* kReply =
    "{\"tinyurl\":\"http://127.0.0.1:8731/"
    "abc123\",\"message\":\"\xE7\x9F\xAD\xE7\xBD\x91\xE5\x9D\x80"
    "\xE5\xB7\xB2\xE7\x94\x9F\xE6\x88\x90\",\"longurl\":\"https://example.com/a/long/path\","
    "\"success\":true,\"alias\":\"abc123\"}";

testing::TestHttpServer& Server() {
    static testing::TestHttpServer* server = [] {
        auto* s = new testing::TestHttpServer();
        s->Respond({200, kReply});
        setenv("BRENVIK_SERVICE_URL", s->Url("/create.php").c_str(), 1);
        return s;
    }();
    return *server;
}

// Target: RequestShortUrl within 1.3x of this round trip (median ratio).
void BM_BareLibcurlPost(benchmark::State& state) {
    const std::string url = Server().Url("/create.php");
    const std::string body = MakeFormBody("https://example.com/a/long/path", "").str();
    CURL* curl = curl_easy_init();
    curl_slist* headers = curl_slist_append(nullptr, "Accept-Language: zh-cn");
    headers = curl_slist_append(headers, "Content-Type: application/x-www-form-urlencoded");
    std::string reply;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(
        curl, CURLOPT_WRITEFUNCTION, +[](char* d, std::size_t s, std::size_t n, void* out) {
            static_cast<std::string*>(out)->append(d, s * n);
            return s * n;
        });
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
    for (auto _ : state) {
        reply.clear();
        curl_easy_perform(curl);
        benchmark::DoNotOptimize(reply);
    }
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
}
BENCHMARK(BM_BareLibcurlPost)->Unit(benchmark::kMicrosecond);

void BM_RequestShortUrl(benchmark::State& state) {
    Server();
    OleInitialize(nullptr);
    httpRequest = std::make_unique<AutomationObject>();
    CreateObject(*httpRequest, "MSXML2.XMLHTTP");
    for (auto _ : state)
        benchmark::DoNotOptimize(RequestShortUrl("https://example.com/a/long/path", ""));
    httpRequest.reset();
    OleUninitialize();
}
BENCHMARK(BM_RequestShortUrl)->Unit(benchmark::kMicrosecond);

// Target: at most 50 us.
void BM_ConvertCodePage1KiB(benchmark::State& state) {
    std::string reply;
    while (reply.size() < 1024) reply += kReply;
    reply.resize(1024);
    // keep the cut from landing inside a multi-byte character
    while ((static_cast<unsigned char>(reply.back()) & 0xC0) == 0x80) reply.pop_back();
    if (static_cast<unsigned char>(reply.back()) >= 0xC0) reply.pop_back();
    const Bytes data = ToBytes(reply);
    for (auto _ : state) benchmark::DoNotOptimize(ConvertCodePage(data));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}
BENCHMARK(BM_ConvertCodePage1KiB)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace brenvik
