// The costs of JsonObject on the road of one Generate press, and of the reads
// that start an engine of their own.
#include <benchmark/benchmark.h>

#include "json/json_object.h"

namespace brenvik {
namespace {

// A service reply of about 300 bytes, as RequestShortUrl hands it over.
const Text& Reply() {
    static const Text reply = Text::FromUtf8(
        R"({"status":200,"message":"短网址生成成功，请复制使用。","tinyurl":"http://127.0.0.1:8731/aB3dE9",)"
        R"("longurl":"https://www.example.com/articles/2024/05/a-rather-long-path/index.html?)"
        R"(utm_source=newsletter&utm_medium=email&utm_campaign=spring",)"
        R"("alias":"aB3dE9","created":"2024-05-01 12:00:00","hits":0,"expires":null})");
    return reply;
}

void BM_ConstructAndDestroy(benchmark::State& state) {
    for (auto _ : state) {
        JsonObject json;
        json.Destroy();
    }
}
BENCHMARK(BM_ConstructAndDestroy)->Unit(benchmark::kMicrosecond);

void BM_ParseReplyAndReadTwoMembers(benchmark::State& state) {
    JsonObject json;
    json.Clear();
    for (auto _ : state) {
        bool loaded = json.Parse(Reply());
        Text message = json.GetText("message", false);
        Text tinyurl = json.GetText("tinyurl", false);
        benchmark::DoNotOptimize(loaded);
        benchmark::DoNotOptimize(message);
        benchmark::DoNotOptimize(tinyurl);
    }
    state.counters["reply_bytes"] = static_cast<double>(Reply().Length());
    if (json.GetText("tinyurl", false).IsEmpty()) state.SkipWithError("the reply did not load");
    json.Destroy();
}
BENCHMARK(BM_ParseReplyAndReadTwoMembers)->Unit(benchmark::kMicrosecond);

void BM_GetMemberObject(benchmark::State& state) {
    JsonObject json;
    json.Parse(
        Text::FromUtf8(R"({"data":{"tinyurl":"http://127.0.0.1:8731/aB3dE9","hits":[1,2,3]}})"));
    for (auto _ : state) {
        JsonObject member = json.GetMemberObject("data");
        benchmark::DoNotOptimize(member.engine);
        member.Destroy();
    }
    json.Destroy();
}
BENCHMARK(BM_GetMemberObject)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace brenvik
