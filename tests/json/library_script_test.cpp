// The library script: its fixed opening, and its own JSON implementation,
// loaded into an engine whose JSON was removed first and compared with the
// engine's native JSON over a table of values.
#include "json/library_script.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "automation/automation.h"
#include "json/script_literal.h"

namespace brenvik::testing {
namespace {

class LibraryScript : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        StartEngine(native, "");
        StartEngine(own, "delete this.JSON;");
        ASSERT_EQ(Eval(own, "typeof JSON.stringify + typeof JSON.parse"), "functionfunction");
        ASSERT_EQ(Eval(own, "/native code/.test(String(JSON.stringify) + String(JSON.parse))"),
                  "false")
            << "the engine's own JSON is still in place";
        ASSERT_EQ(Eval(native, "/native code/.test(String(JSON.stringify))"), "true");
    }
    void TearDown() override {
        ClearObject(native);
        ClearObject(own);
        CoUninitialize();
    }

    // A script engine with the library script loaded after `prelude`.
    static void StartEngine(AutomationObject& engine, const char* prelude) {
        ASSERT_TRUE(CreateObject(engine, "MSScriptControl.ScriptControl"));
        ASSERT_TRUE(SetProperty(engine, "Language", "JavaScript"));
        CallMethod<double>(engine, "AddCode", {prelude});
        CallMethod<double>(engine, "AddCode", {libraryScript});
        ASSERT_EQ(CallMethod<Text>(engine, "Eval", {"typeof get__count"}).str(), "function");
    }

    static std::string Eval(AutomationObject& engine, const std::string& expression) {
        return CallMethod<Text>(engine, "Eval", {Text(std::string_view(expression))}).str();
    }

    // The expression's value (or the name of what it throws) in both engines.
    void ExpectSameInBoth(const std::string& expression) {
        const std::string guarded = "(function(){try{return String(" + expression +
                                    ")}catch(e){return 'throws ' + e.name}})()";
        const std::string expected = Eval(native, guarded);
        EXPECT_EQ(Eval(own, guarded), expected) << expression;
        EXPECT_FALSE(expected.empty()) << "the guard itself failed: " << expression;
    }

    AutomationObject native;
    AutomationObject own;
};

TEST(LibraryScriptText, OpensWithGetCountAndUsesCrLfLineBreaks) {
    const std::string_view script = libraryScript;
    const std::string_view opening =
        "function get__count(c){\r\n\tvar i=-2;\r\n\tfor (v in c) i++;\r\n\treturn i;\r\n}"
        "\r\n\r\nif (typeof JSON !== 'object') {\r\n";
    EXPECT_EQ(script.substr(0, opening.size()), opening);
    for (std::size_t i = 0; i < script.size(); ++i) {
        if (script[i] == '\n') {
            ASSERT_TRUE(i > 0 && script[i - 1] == '\r') << "bare LF at " << i;
        }
        if (script[i] == '\r') {
            ASSERT_TRUE(i + 1 < script.size() && script[i + 1] == '\n') << "bare CR at " << i;
        }
    }
}

TEST_F(LibraryScript, StringifyMatchesTheNativeOne) {
    const char* values[] = {
        "null",
        "true",
        "false",
        "0",
        "-0",
        "1.5",
        "-1e-7",
        "1e21",
        "123456789012345680000",
        "NaN",
        "Infinity",
        "-Infinity",
        "undefined",
        "function(){}",
        "''",
        "'a\"b\\\\c/'",
        "'\\u0000\\u0001\\u001f\\b\\f\\n\\r\\t\\u007f'",
        "'\\u00e9\\u4e2d\\u2028'",
        "[]",
        "{}",
        "[[]]",
        "[1,[2,[3,{}]]]",
        "[,1,,]",
        "[undefined, function(){}, null]",
        "{a:1,b:[true,null],c:{d:'x'}}",
        "{u:undefined,f:function(){},n:null}",
        "{'':1,'a b':2,'\"':3,'\\n':4}",
        "{2:'two',1:'one',b:'b',a:'a'}",
        "new Date(Date.UTC(2020,0,2,3,4,5,6))",
        "new Date(NaN)",
        "[new Date(0)]",
        "new String('s')",
        "new Number(3)",
        "new Boolean(false)",
        "[new Number(NaN)]",
        "{toJSON:function(k){return 'key=' + k}}",
        "{a:{toJSON:function(k){return [k]}}}",
        "{a:{toJSON:function(){return undefined}}}",
        "Object.create({inherited:1})",
        "/re/",
        "new Error('e')",
        "Math",
        "[Object.prototype.toJSONString]",
    };
    const char* replacersAndSpaces[] = {
        "",
        ", null, 2",
        ", null, '\\t'",
        ", null, 'abcdefghijklmn'",
        ", null, 20",
        ", null, 3.7",
        ", null, -1",
        ", null, new Number(2)",
        ", null, new String('--')",
        ", null, ''",
        ", null, true",
        ", function(k,v){return typeof v==='number' ? v*2 : v}",
        ", function(k,v){return k==='a' ? undefined : v}, 1",
        ", function(k,v){return k==='' ? v : String(k) + ':' + typeof this}",
        ", ['a','c',1]",
        ", [new String('b'), new Number(2), {}, null]",
        ", 'not a replacer'",
    };
    for (const char* value : values) {
        for (const char* rest : replacersAndSpaces) {
            ExpectSameInBoth(std::string("JSON.stringify(") + value + rest + ")");
        }
    }
}

// The standard lists a name given twice once; the engine's native JSON repeats it.
TEST_F(LibraryScript, StringifyListsARepeatedReplacerNameOnce) {
    EXPECT_EQ(Eval(own, "JSON.stringify({a:1,b:2}, ['a','b','a'])"), R"({"a":1,"b":2})");
}

TEST_F(LibraryScript, StringifyRejectsCycles) {
    ExpectSameInBoth("(function(){var a=[];a.push(a);return JSON.stringify(a)})()");
    ExpectSameInBoth("(function(){var o={};o.o={p:o};return JSON.stringify(o)})()");
    // The same object twice, side by side, is no cycle.
    ExpectSameInBoth("(function(){var o={x:1};return JSON.stringify([o,{a:o,b:o}])})()");
}

TEST_F(LibraryScript, ParseMatchesTheNativeOne) {
    const char* texts[] = {
        // valid
        "{\"a\":[1,2,{\"b\":null}],\"c\":\"x\"}",
        " \t\r\n[ 1 , 2 ]\n",
        "[]",
        "{}",
        "[[],{}]",
        "\"\\u0041\\u4e2d\\n\\/\\\\\\\"\\b\\f\\r\\t\"",
        "\"\"",
        "-0",
        "-0.5e+3",
        "1E2",
        "1e-2",
        "12345678901234567890",
        "0.1",
        "true",
        "false",
        "null",
        "{\"a\":1,\"a\":2}",
        "{\"__proto__\":1}",
        "{\"\":\"empty name\"}",
        "\"\\ud83d\\ude00\"",
        "\"\\uD800\"",
        // invalid
        "",
        " ",
        "01",
        "-01",
        "1.",
        ".5",
        "+1",
        "-",
        "1e",
        "1e+",
        "0x10",
        "[1,]",
        "[,1]",
        "{\"a\":1,}",
        "{'a':1}",
        "{a:1}",
        "{\"a\" 1}",
        "{\"a\":}",
        "\"a\tb\"",
        "\"a\nb\"",
        "\"\\x41\"",
        "\"\\u00G1\"",
        "\"\\u12\"",
        "\"\\'\"",
        "undefined",
        "NaN",
        "Infinity",
        "[1] x",
        "[1]]",
        "tru",
        "nul",
        "\"abc",
        "[",
        "{",
        "\"\\\"",
        "\f[1]",
        "[1]\v",
        "// comment\n1",
    };
    for (const char* text : texts) {
        const std::string literal = ScriptStringLiteral(Text(text)).str();
        ExpectSameInBoth("JSON.stringify(JSON.parse(" + literal + "))");
        ExpectSameInBoth("typeof JSON.parse(" + literal + ")");
    }
    ExpectSameInBoth("JSON.parse(123)");
    ExpectSameInBoth("JSON.parse(null)");
    ExpectSameInBoth("JSON.parse({toString:function(){return '[7]'}})[0]");
}

TEST_F(LibraryScript, ParseHandsEveryValueToTheReviverInnermostFirst) {
    const std::string text = "'{\"a\":1,\"b\":[1,{\"c\":2}],\"d\":{\"e\":\"x\"}}'";
    const char* revivers[] = {
        "function(k,v){return typeof v==='number' ? v+1 : v}",
        "function(k,v){return k==='a' || k==='0' ? undefined : v}",
        "function(k,v){seen.push(k + '=' + typeof v + (this === undefined ? '' : ':' +"
        " Object.prototype.toString.call(this)));return v}",
        "function(k,v){return k==='' ? 'replaced' : v}",
    };
    for (const char* reviver : revivers) {
        ExpectSameInBoth("(function(){seen=[];var r=JSON.parse(" + text + "," + reviver +
                         ");return JSON.stringify(r) + ' ' + seen.join(',')})()");
    }
}

TEST_F(LibraryScript, PrototypeMethodsAreEnumerableAndUseJson) {
    for (AutomationObject* engine : {&native, &own}) {
        EXPECT_EQ(Eval(*engine, "({a:[1,'x']}).toJSONString()"), R"({"a":[1,"x"]})");
        EXPECT_EQ(Eval(*engine, "({a:1,b:2}).toJSONString(['b'])"), R"({"b":2})");
        EXPECT_EQ(Eval(*engine, "'[1,2]'.parseJSON()[1]"), "2");
        EXPECT_EQ(
            Eval(*engine, "(function(){var n=[];for(var k in [5])n.push(k);return n.join()})()"),
            "0,toJSONString,parseJSON");
        EXPECT_EQ(Eval(*engine, "get__count({a:1,b:2,c:3})"), "3");
        EXPECT_EQ(Eval(*engine, "get__count(null)"), "-2");
    }
}

TEST(LibraryScriptFallbacks, DateAndPrimitiveToJsonWhereTheEngineHasNone) {
    CoInitialize(nullptr);
    {
        AutomationObject engine;
        ASSERT_TRUE(CreateObject(engine, "MSScriptControl.ScriptControl"));
        SetProperty(engine, "Language", "JavaScript");
        CallMethod<double>(engine, "AddCode", {"delete this.JSON; delete Date.prototype.toJSON;"});
        CallMethod<double>(engine, "AddCode", {libraryScript});
        const auto eval = [&](const char* text) {
            return CallMethod<Text>(engine, "Eval", {text}).str();
        };
        EXPECT_EQ(eval("new Date(Date.UTC(2020,0,2,3,4,5,678)).toJSON()"), "2020-01-02T03:04:05Z");
        EXPECT_EQ(eval("JSON.stringify({d:new Date(Date.UTC(1999,11,31,23,59,9))})"),
                  R"({"d":"1999-12-31T23:59:09Z"})");
        EXPECT_EQ(eval("JSON.stringify(new Date(NaN))"), "null");
        EXPECT_EQ(eval("typeof 'abc'.toJSON() + typeof (5).toJSON() + typeof true.toJSON()"),
                  "stringnumberboolean");
        EXPECT_EQ(eval("'abc'.toJSON() + (5).toJSON() + false.toJSON()"), "abc5false");
        // Loading the script a second time changes nothing.
        CallMethod<double>(engine, "AddCode", {libraryScript});
        EXPECT_EQ(eval("(function(){var n=[];for(var k in {})n.push(k);return n.join()})()"),
                  "toJSONString,parseJSON");
    }
    CoUninitialize();
}

}  // namespace
}  // namespace brenvik::testing
