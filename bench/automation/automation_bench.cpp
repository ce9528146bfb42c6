// Creating each system object with one member call, the script engine made
// ready with an 11 KiB script, and what the facility adds to a member call.
#include <benchmark/benchmark.h>
#include <duktape.h>

#include <string>

#include "automation/automation.h"
#include "automation/class_registry.h"

namespace brenvik {
namespace {

struct Initialised {
    Initialised() { OleInitialize(nullptr); }
} initialised;

// About 11 KiB of functions and data, the size of a JSON library script.
const std::string& ElevenKiBScript() {
    static const std::string script = [] {
        std::string s;
        for (int i = 0; s.size() < 11 * 1024; ++i) {
            s += "function helper" + std::to_string(i) +
                 "(value, replacer) {\r\n\tvar out = [];\r\n\tfor (var k in value) {\r\n"
                 "\t\tif (Object.prototype.hasOwnProperty.call(value, k)) out.push(k + '=' + "
                 "value[k]);\r\n"
                 "\t}\r\n\treturn out.join(',');\r\n}\r\n";
        }
        return s;
    }();
    return script;
}

void BM_CreateStreamAndSetType(benchmark::State& state) {
    for (auto _ : state) {
        AutomationObject stream;
        CreateObject(stream, "Adodb.Stream");
        benchmark::DoNotOptimize(SetProperty(stream, "Type", 1));
    }
}
BENCHMARK(BM_CreateStreamAndSetType);

void BM_CreateHttpRequestAndOpen(benchmark::State& state) {
    for (auto _ : state) {
        AutomationObject request;
        CreateObject(request, "MSXML2.XMLHTTP");
        CallMethod(request, "open", {"POST", "http://127.0.0.1:9/create.php", false});
    }
}
BENCHMARK(BM_CreateHttpRequestAndOpen);

void BM_CreateScriptEngineAndSetLanguage(benchmark::State& state) {
    for (auto _ : state) {
        AutomationObject engine;
        CreateObject(engine, "MSScriptControl.ScriptControl");
        benchmark::DoNotOptimize(SetProperty(engine, "Language", "JavaScript"));
    }
}
BENCHMARK(BM_CreateScriptEngineAndSetLanguage);

// Target: at most 1 ms (median).
void BM_ScriptEngineReadyWith11KiBScript(benchmark::State& state) {
    const Text script(ElevenKiBScript());
    for (auto _ : state) {
        AutomationObject engine;
        CreateObject(engine, "MSScriptControl.ScriptControl");
        SetProperty(engine, "Language", "JavaScript");
        CallMethod<double>(engine, "AddCode", {script});
        benchmark::DoNotOptimize(CallMethod<Text>(engine, "Eval", {"typeof helper0"}));
    }
    state.counters["script_bytes"] = static_cast<double>(script.Length());
}
BENCHMARK(BM_ScriptEngineReadyWith11KiBScript)->Unit(benchmark::kMicrosecond);

// The facility's share of a member call: the same Eval through CallMethod and
// straight on Duktape. Target: the difference at most 2 us.
void BM_EvalThroughFacility(benchmark::State& state) {
    AutomationObject engine;
    CreateObject(engine, "MSScriptControl.ScriptControl");
    SetProperty(engine, "Language", "JavaScript");
    CallMethod(engine, "Eval", {"var da={tinyurl:'http://127.0.0.1:8731/abc123'}"});
    const Text script("da.tinyurl");
    for (auto _ : state) benchmark::DoNotOptimize(CallMethod<Text>(engine, "Eval", {script}));
}
BENCHMARK(BM_EvalThroughFacility);

void BM_EvalOnDuktapeDirectly(benchmark::State& state) {
    duk_context* ctx = duk_create_heap_default();
    duk_peval_string_noresult(ctx, "var da={tinyurl:'http://127.0.0.1:8731/abc123'}");
    for (auto _ : state) {
        duk_peval_string(ctx, "da.tinyurl");
        duk_size_t n;
        benchmark::DoNotOptimize(duk_get_lstring(ctx, -1, &n));
        duk_pop(ctx);
    }
    duk_destroy_heap(ctx);
}
BENCHMARK(BM_EvalOnDuktapeDirectly);

// A member that does almost nothing, through the facility and straight on the
// object: all of the difference is the facility's.
void BM_PropertyReadThroughFacility(benchmark::State& state) {
    AutomationObject stream;
    CreateObject(stream, "Adodb.Stream");
    CallMethod(stream, "Open");
    for (auto _ : state) benchmark::DoNotOptimize(GetProperty(stream, "Position"));
}
BENCHMARK(BM_PropertyReadThroughFacility);

void BM_PropertyReadOnObjectDirectly(benchmark::State& state) {
    AutomationObject stream;
    CreateObject(stream, "Adodb.Stream");
    CallMethod(stream, "Open");
    DispatchObject& object = *stream.Get();
    int id = -1;
    for (const MemberInfo& m : object.Members())
        if (m.kind == MemberKind::PropertyGet && std::string_view(m.name) == "Position") id = m.id;
    for (auto _ : state) {
        Variant result;
        object.Invoke(id, {}, result);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_PropertyReadOnObjectDirectly);

}  // namespace
}  // namespace brenvik
