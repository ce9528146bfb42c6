#include <gtest/gtest.h>

#include "automation_fixture.h"

namespace brenvik {
namespace {

class ScriptEngineTest : public testing::AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        ASSERT_TRUE(CreateObject(engine, "MSScriptControl.ScriptControl"));
        ASSERT_TRUE(SetProperty(engine, "Language", "JavaScript"));
    }
    Text Eval(const Text& script) { return CallMethod<Text>(engine, "Eval", {script}); }
    AutomationObject engine;
};

TEST_F(ScriptEngineTest, LanguageMustBeJavaScript) {
    AutomationObject other;
    ASSERT_TRUE(CreateObject(other, "MSScriptControl.ScriptControl"));
    EXPECT_EQ(CallMethod<Text>(other, "Eval", {"1+1"}), Text());  // no language yet
    EXPECT_FALSE(SetProperty(other, "Language", "VBScript"));
    EXPECT_TRUE(SetProperty(other, "language", "jscript"));
    EXPECT_EQ(CallMethod<Text>(other, "Eval", {"1+1"}), Text("2"));
}

TEST_F(ScriptEngineTest, GlobalsPersistBetweenCalls) {
    CallMethod<double>(engine, "AddCode", {"function twice(x){return x*2;}\r\nvar base=20;"});
    Eval("var extra=1");
    EXPECT_EQ(Eval("twice(base)+extra"), Text("41"));
}

TEST_F(ScriptEngineTest, EvalGivesTheCompletionValue) {
    const std::pair<const char*, const char*> cases[] = {
        {"var a=1; a+2", "3"},
        {"var ary=''; for (var key in {x:1,y:2}) {ary=ary+ key+','; }", "x,y,"},
        {"var ary=''; for (var key in {}) {ary=ary+ key+','; }", ""},  // undefined
        {"if (true) { 'then' } else { 'else' }", "then"},
        {"'\\u4e2d\\u6587'", "\xD6\xD0\xCE\xC4"},
        {"'a\\u0000b'", "a"},  // a text result ends at its NUL
        {"'\\u0e01'", "?"},
        {"[1,2,3]", "1,2,3"},
        {"({toString:function(){return 'mine'}})", "mine"},
        {"0.1+0.2", "0.30000000000000004"},
        {"1/0", "Infinity"},
        {"true", "true"},
        {"undefined", ""},
    };
    for (const auto& [script, expected] : cases) {
        SCOPED_TRACE(script);
        EXPECT_EQ(Eval(script), Text(expected));
    }
}

TEST_F(ScriptEngineTest, ResultKindsAndFailures) {
    EXPECT_EQ(CallMethod<double>(engine, "Eval", {"2.5*2"}), 5);
    EXPECT_TRUE(CallMethod<bool>(engine, "Eval", {"null != {}"}));
    EXPECT_EQ(CallMethod<Variant>(engine, "Eval", {"null"}).Type(), VariantType::Null);
    // null converts to no text, a syntax or run-time error gives the empty value
    EXPECT_EQ(Eval("null"), Text());
    EXPECT_EQ(Eval("this is not script"), Text());
    EXPECT_EQ(CallMethod<double>(engine, "Eval", {"missing.member"}), 0);
    EXPECT_FALSE(CallMethod<bool>(engine, "Eval", {"throw 1"}));
    EXPECT_EQ(Eval("({toString:function(){throw 'no'}})"), Text());
    // the engine is still usable afterwards
    EXPECT_EQ(Eval("'ok'"), Text("ok"));
}

TEST_F(ScriptEngineTest, UndeclaredLoopVariablesAndArrayMapWork) {
    CallMethod<double>(
        engine, "AddCode",
        {"function get__count(c){\r\n\tvar i=-2;\r\n\tfor (v in c) i++;\r\n\treturn i;\r\n}"});
    EXPECT_EQ(Eval("get__count({a:1,b:2,c:3})"), Text("1"));
    EXPECT_EQ(Eval("typeof v"), Text("string"));
    EXPECT_EQ(Eval("[1,2].map(function(x){return x*10}).join('-')"), Text("10-20"));
    EXPECT_FALSE(CallMethod<bool>(engine, "Eval", {"!([].map)"}));
}

TEST_F(ScriptEngineTest, ARunawayScriptFailsAtTheMemoryCap) {
    EXPECT_EQ(Eval("var s='x'; while (true) s = s + s; 'done'"), Text());
    Eval("s = null");
    EXPECT_EQ(Eval("'still alive'"), Text("still alive"));
}

TEST_F(ScriptEngineTest, ALargeProgramRunsAlikeInEveryEngine) {
    // Large programs are compiled once and loaded in later engines: the loaded
    // program must declare the same globals and keep its closures working.
    std::string script =
        "function fact(n){ return n <= 1 ? 1 : n * fact(n - 1); }\r\n"
        "var counter = (function(){ var c = 0; return function(){ return ++c; }; })();\r\n"
        "if (typeof shared !== 'object') { shared = {runs: 0}; }\r\nshared.runs++;\r\n";
    while (script.size() < 4096) script += "// padding to make the program large\r\n";
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        AutomationObject fresh;
        ASSERT_TRUE(CreateObject(fresh, "MSScriptControl.ScriptControl"));
        SetProperty(fresh, "Language", "JavaScript");
        CallMethod<double>(fresh, "AddCode", {Text(script)});
        EXPECT_EQ(CallMethod<Text>(fresh, "Eval",
                                   {"fact(5) + ',' + counter() + counter() + ',' + shared.runs"}),
                  Text("120,12,1"));
    }
    EXPECT_EQ(CallMethod<double>(engine, "AddCode", {Text(script + "this is a syntax error")}), 0);
    EXPECT_EQ(Eval("typeof fact"), Text("undefined"));
}

TEST_F(ScriptEngineTest, EachEngineHasItsOwnGlobals) {
    AutomationObject second;
    ASSERT_TRUE(CreateObject(second, "MSScriptControl.ScriptControl"));
    SetProperty(second, "Language", "JavaScript");
    Eval("var da=1");
    EXPECT_EQ(CallMethod<Text>(second, "Eval", {"typeof da"}), Text("undefined"));
}

}  // namespace
}  // namespace brenvik
