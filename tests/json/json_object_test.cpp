// The operations of JsonObject, one table per operation: each row is a
// document, a call and the result, and the document afterwards where the call
// changes it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "json_test_rows.h"

namespace brenvik::testing {
namespace {

#define CALL BRENVIK_CALL
#define DO BRENVIK_DO

constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(JsonObjectConstruction, NewInstanceHoldsAnEmptyObject) {
    RunRows({
        {"", CALL(ToText()), "{}"},
        {"", CALL(GetText(T("tinyurl"), false)), ""},
        {"", CALL(GetText(T("tinyurl"), true)), ""},
        {"", CALL(GetType(T(""))), "4"},
    });
}

TEST(JsonObjectParse, LoadsJsonTextAsData) {
    RunRows({
        {"", CALL(Parse(T(R"({"a":1,"b":"x"})"))), "true", R"({"a":1,"b":"x"})"},
        {"", CALL(Parse(T("[1,2]"))), "true", "[1,2]"},
        {"", CALL(Parse(T(" {\r\n\t\"a\" : [ 1 , {} ]\r\n} "))), "true", R"({"a":[1,{}]})"},
        {"", CALL(Parse(T("42"))), "true", "42"},
        {"", CALL(Parse(T("-0.5e3"))), "true", "-500"},
        {"", CALL(Parse(T("true"))), "true", "true"},
        // A JSON string is that string: its contents are not evaluated again.
        {"", CALL(Parse(T(R"("word")"))), "true", R"("word")"},
        {"", CALL(Parse(T(R"("42")"))), "true", R"("42")"},
        {"", CALL(Parse(T(R"({"m":"It's C:\\dir \"q\" \u4e2d"})"))), "true",
         R"({"m":"It's C:\\dir \"q\" 中"})"},
        {"", CALL(Parse(T(R"({"message":"成功","tinyurl":"http://t.cn/x"})"))), "true",
         R"({"message":"成功","tinyurl":"http://t.cn/x"})"},
    });
}

TEST(JsonObjectParse, TextThatIsNotJsonLeavesTheDocumentNull) {
    RunRows({
        {"", CALL(Parse(T(""))), "false", "null"},
        {"", CALL(Parse(T("null"))), "false", "null"},
        {"", CALL(Parse(T("not json"))), "false", "null"},
        {R"({"a":1})", CALL(Parse(T("{\"a\":"))), "false", "null"},
        {R"({"a":1})", CALL(Parse(T("{'a':1}"))), "false", "null"},
        {"", CALL(Parse(T("[1,]"))), "false", "null"},
        {"", CALL(Parse(T("1,2"))), "false", "null"},
        {"", CALL(Parse(T("') + (1"))), "false", "null"},
        {"", CALL(Parse(T("\\"))), "false", "null"},
        {"", CALL(Parse(T("[1] [2]"))), "false", "null"},
    });
}

TEST(JsonObjectParse, ScriptInTheTextIsNeverRun) {
    const char* attacks[] = {
        "this.hacked=1",
        "(function(){hacked=1;return {}})()",
        "{\"a\":(hacked=1)}",
        "\"x\"+(hacked=1)",
        "')+(hacked=1)+('",
        "\\')+(hacked=1)+(\\'",
        "\"\\u0027)+(hacked=1)+(\\u0027\"",
    };
    for (const char* attack : attacks) {
        SCOPED_TRACE(attack);
        JsonObject json;
        const bool loaded = json.Parse(T(attack));
        EXPECT_EQ(CallMethod<Text>(json.engine, "Eval", {"typeof hacked"}).str(), "undefined");
        // The last one is a valid JSON string and loads as that string.
        if (loaded) {
            EXPECT_EQ(json.GetText(T(""), false).str(), "')+(hacked=1)+('");
        }
    }
}

TEST(JsonObjectParse, DoubleByteCharactersWhoseTrailByteIsABackslash) {
    // 0x5C ('\') and 0x60 are GBK trail bytes: such characters arrive whole.
    // 0xFE 0x5C is no character; the code page reads it as '?' and '\', and
    // that backslash escapes the closing quote of the JSON string, as it would
    // in any text that reaches the engine.
    struct Case {
        const char* bytes;
        bool loads;
        const char* text;
    };
    const Case cases[] = {
        {"\x95\x5c", true, "\x95\x5c"}, {"\x81\x5c", true, "\x81\x5c"},
        {"\x81\x60", true, "\x81\x60"}, {"\x95\x5c\x5c\x5c", true, "\x95\x5c\x5c"},
        {"\xfe\x5c", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::string(c.bytes)));
        JsonObject json;
        const std::string document = std::string("{\"a\":\"") + c.bytes + "\"}";
        EXPECT_EQ(json.Parse(Text(std::string_view(document))), c.loads);
        EXPECT_EQ(json.GetText(T("a"), false).str(), c.text);
    }
}

TEST(JsonObjectGetText, ReadsByBracketAwarePath) {
    const char* doc = R"({"s":"x","n":0.1,"t":true,"z":null,"list":[1,2],"o":{"p":"q"}})";
    RunRows({
        {doc, CALL(GetText(T("s"), false)), "x"},
        {doc, CALL(GetText(T("s"), true)), R"("x")"},
        {doc, CALL(GetText(T("n"), false)), "0.1"},
        {doc, CALL(GetText(T("t"), false)), "true"},
        {doc, CALL(GetText(T("z"), false)), ""},
        {doc, CALL(GetText(T("z"), true)), "null"},
        {doc, CALL(GetText(T("missing"), false)), ""},
        {doc, CALL(GetText(T("missing"), true)), ""},
        {doc, CALL(GetText(T("missing.x"), false)), ""},
        {doc, CALL(GetText(T("list[1]"), false)), "2"},
        {doc, CALL(GetText(T("o.p"), false)), "q"},
        {doc, CALL(GetText(T("o"), true)), R"({"p":"q"})"},
        {doc, CALL(GetText(T("o"), false)), "[object Object]"},
        {"[10,20,30]", CALL(GetText(T("[1]"), false)), "20"},
        {"[10,20,30]", CALL(GetText(T(""), true)), "[10,20,30]"},
        {R"({"message":"短网址已生成"})", CALL(GetText(T("message"), false)), "短网址已生成"},
        {R"({"message":"短网址已生成"})", CALL(GetText(T("message"), true)), R"("短网址已生成")"},
    });
}

TEST(JsonObjectClearAndReset, ReplaceTheDocument) {
    const char* doc = R"({"a":1})";
    RunRows({
        {doc, DO(Clear()), "", "{}"},
        {doc, DO(Reset(JsonType::TypeNull)), "", "null"},
        {doc, DO(Reset(JsonType::TypeObject)), "", "{}"},
        {doc, DO(Reset(JsonType::TypeArray)), "", "[]"},
        {doc, DO(Reset(JsonType::TypeNumber)), "", doc},
        {doc, DO(Reset(JsonType::TypeString)), "", doc},
        {doc, DO(Reset(JsonType::TypeOther)), "", doc},
        {doc, DO(Reset(static_cast<JsonType>(3))), "", doc},
    });
}

TEST(JsonObjectAssign, StoresPlainStringsExactlyAndJsonAsGiven) {
    const char* doc = R"({"a":1})";
    RunRows({
        {doc, DO(Assign(T("word"), false)), "", R"("word")"},
        {doc, DO(Assign(T("It's"), false)), "", R"("It's")"},
        {doc, DO(Assign(T("C:\\dir\\"), false)), "", R"("C:\\dir\\")"},
        {doc, DO(Assign(T("line1\r\nline2"), false)), "", R"("line1\r\nline2")"},
        {doc, DO(Assign(T("'+(hacked=1)+'"), false)), "", R"("'+(hacked=1)+'")"},
        {doc, DO(Assign(T("5"), false)), "", R"("5")"},
        {doc, DO(Assign(T(""), false)), "", R"("")"},
        {doc, DO(Assign(T("5"), true)), "", "5"},
        {doc, DO(Assign(T(R"({"b":[1]})"), true)), "", R"({"b":[1]})"},
        {doc, DO(Assign(T(""), true)), "", doc},
        {doc, DO(Assign(T("{"), true)), "", doc},
    });
}

TEST(JsonObjectSetMember, StoresStringsOrJsonValues) {
    RunRows({
        {"", DO(SetMember(T("a"), T("x"), false)), "", R"({"a":"x"})"},
        {R"({"a":1})", DO(SetMember(T("a"), T("y"), false)), "", R"({"a":"y"})"},
        {"", DO(SetMember(T("a"), T("It's"), false)), "", R"({"a":"It's"})"},
        {"", DO(SetMember(T("a"), T("C:\\dir"), false)), "", R"({"a":"C:\\dir"})"},
        {"", DO(SetMember(T("a"), T("中文"), false)), "", R"({"a":"中文"})"},
        {"", DO(SetMember(T("a"), T(""), true)), "", R"({"a":{}})"},
        {"", DO(SetMember(T("a"), T("[1,2]"), true)), "", R"({"a":[1,2]})"},
        {"", DO(SetMember(T("a"), T("5"), true)), "", R"({"a":5})"},
        // A JSON string text goes through eval and is run again as script.
        {"", DO(SetMember(T("a"), T(R"("x")"), true)), "", "{}"},
        {"", DO(SetMember(T("a"), T(R"("7")"), true)), "", R"({"a":7})"},
        {"", DO(SetMember(T("m.x"), T("1"), false)), "", "{}"},
        {R"({"m":{}})", DO(SetMember(T("m.x"), T("1"), false)), "", R"({"m":{"x":"1"}})"},
    });
}

TEST(JsonObjectSetMemberRaw, StoresTheValueOfAScriptExpression) {
    RunRows({
        {"", DO(SetMemberRaw(T("a"), T("1"))), "", R"({"a":1})"},
        {"", DO(SetMemberRaw(T("a"), T("true"))), "", R"({"a":true})"},
        {"", DO(SetMemberRaw(T("a"), T("null"))), "", R"({"a":null})"},
        {"", DO(SetMemberRaw(T("a"), T("'s'"))), "", R"({"a":"s"})"},
        {R"({"list":[1]})", DO(SetMemberRaw(T("copy"), T("da.list"))), "",
         R"({"list":[1],"copy":[1]})"},
        {R"({"a":1})", DO(SetMemberRaw(T("a"), T(""))), "", R"({"a":1})"},
        {"", DO(SetMemberRaw(T("m.x"), T("1"))), "", "{}"},
    });
}

TEST(JsonObjectSetNumber, WritesThirteenSignificantDigits) {
    RunRows({
        {"", DO(SetNumber(T("n"), 3)), "", R"({"n":3})"},
        {"", DO(SetNumber(T("n"), 0.1)), "", R"({"n":0.1})"},
        {"", DO(SetNumber(T("n"), -2.5)), "", R"({"n":-2.5})"},
        {"", DO(SetNumber(T("n"), 1234567890123456.0)), "", R"({"n":1234567890123000})"},
        {"", DO(SetNumber(T("n"), 1.0 / 3)), "", R"({"n":0.3333333333333})"},
        {"", DO(SetNumber(T("n"), 2.5e-7)), "", R"({"n":2.5e-7})"},
        {"", DO(SetNumber(T("n"), 1e21)), "", R"({"n":1e+21})"},
        {R"({"n":1})", DO(SetNumber(T("n"), kInfinity)), "", R"({"n":1})"},
        {R"({"n":1})", DO(SetNumber(T("n"), -kInfinity)), "", R"({"n":1})"},
        {R"({"n":1})", DO(SetNumber(T("n"), std::nan(""))), "", R"({"n":1})"},
    });
}

TEST(JsonObjectGetNumber, ConvertsTheMember) {
    const char* doc = R"({"n":3.5,"neg":-7,"s":"12","w":"word","z":null})";
    RunRows({
        {doc, CALL(GetNumber(T("n"))), "3.5"},
        {doc, CALL(GetNumber(T("neg"))), "-7"},
        {doc, CALL(GetNumber(T("s"))), "12"},
        {doc, CALL(GetNumber(T("w"))), "0"},
        {doc, CALL(GetNumber(T("z"))), "0"},
        {doc, CALL(GetNumber(T("missing"))), "0"},
        {doc, CALL(GetNumber(T("missing.x"))), "0"},
    });
}

TEST(JsonObjectGetMemberJson, GivesCompactJsonByDottedPath) {
    const char* doc = R"({"a":{"b":[1,"x",null]},"s":"q"})";
    RunRows({
        {doc, CALL(GetMemberJson(T("a"))), R"({"b":[1,"x",null]})"},
        {doc, CALL(GetMemberJson(T("a.b"))), R"([1,"x",null])"},
        {doc, CALL(GetMemberJson(T("s"))), R"("q")"},
        {doc, CALL(GetMemberJson(T("missing"))), ""},
        {doc, CALL(GetMemberJson(T("missing.x"))), ""},
        {"[1]", CALL(GetMemberJson(T("[0]"))), ""},
    });
}

TEST(JsonObjectGetMemberObject, GivesACopyThroughJsonText) {
    RunRows({
        {R"({"a":{"b":1}})", CALL(GetMemberObject(T("a"))), R"({"b":1})"},
        {R"({"a":[1,{"c":"中"}]})", CALL(GetMemberObject(T("a[1]"))), R"({"c":"中"})"},
        {R"([{"x":1},2])", CALL(GetMemberObject(T("[0]"))), R"({"x":1})"},
        {R"({"a":1})", CALL(GetMemberObject(T(""))), R"({"a":1})"},
        // A string member arrives as that string, read as data.
        {R"({"s":"word"})", CALL(GetMemberObject(T("s"))), R"("word")"},
        {R"({"a":1})", CALL(GetMemberObject(T("missing"))), "null"},
        {R"({"a":1})", CALL(GetMemberObject(T("missing.x"))), "null"},
    });
}

TEST(JsonObjectGetMemberObject, WhatJsonCannotCarryDoesNotArrive) {
    JsonObject json;
    json.SetMemberRaw(T("a"), T("{f:function(){},u:undefined,l:[1,function(){},undefined],"
                                "d:new Date(Date.UTC(2020,0,2,3,4,5))}"));
    JsonObject copy = json.GetMemberObject(T("a"));
    EXPECT_EQ(copy.ToText().str(), R"({"l":[1,null,null],"d":"2020-01-02T03:04:05.000Z"})");
}

TEST(JsonObjectGetMemberObject, CopyAndSourceChangeIndependently) {
    JsonObject json;
    ASSERT_TRUE(json.Parse(T(R"({"a":{"b":1}})")));
    JsonObject copy = json.GetMemberObject(T("a"));
    copy.SetNumber(T("b"), 2);
    json.SetNumber(T("a.c"), 3);
    EXPECT_EQ(copy.ToText().str(), R"({"b":2})");
    EXPECT_EQ(json.ToText().str(), R"({"a":{"b":1,"c":3}})");
}

TEST(JsonObjectGetCount, CountsOwnMembersAndElements) {
    const char* doc =
        R"({"e":{},"three":{"a":1,"b":2,"c":3},"none":[],"five":[1,2,3,4,5],"z":null})";
    RunRows({
        {"", CALL(GetCount(T(""))), "0"},
        {doc, CALL(GetCount(T(""))), "5"},
        {doc, CALL(GetCount(T("e"))), "0"},
        {doc, CALL(GetCount(T("three"))), "3"},
        {doc, CALL(GetCount(T("none"))), "0"},
        {doc, CALL(GetCount(T("five"))), "5"},
        {doc, CALL(GetCount(T("missing"))), "-2"},
        {doc, CALL(GetCount(T("z"))), "-2"},
        {doc, CALL(GetCount(T("missing.x"))), "0"},
    });
}

TEST(JsonObjectAppendItem, AppendsOrStartsAnArray) {
    RunRows({
        {"", DO(AppendItem(T("x"), T(""), false)), "", R"(["x"])"},
        {R"({"s":"str"})", DO(AppendItem(T("x"), T("s"), false)), "", R"({"s":["x"]})"},
        {R"({"l":[1]})", DO(AppendItem(T("x"), T("l"), false)), "", R"({"l":[1,"x"]})"},
        {R"({"l":[1]})", DO(AppendItem(T("5"), T("l"), true)), "", R"({"l":[1,5]})"},
        {R"({"l":[1]})", DO(AppendItem(T("5"), T("l"), false)), "", R"({"l":[1,"5"]})"},
        {R"({"l":[]})", DO(AppendItem(T("It's \\ \"ok\""), T("l"), false)), "",
         R"({"l":["It's \\ \"ok\""]})"},
        {R"({"l":[1]})", DO(AppendItem(T(""), T("l"), true)), "", R"({"l":[1]})"},
        {R"({"l":[1]})", DO(AppendItem(T("1"), T("missing"), false)), "", R"({"l":[1]})"},
        {R"({"z":null})", DO(AppendItem(T("1"), T("z"), false)), "", R"({"z":null})"},
        {R"({"o":{"map":1}})", DO(AppendItem(T("1"), T("o"), false)), "", R"({"o":{"map":1}})"},
    });
}

TEST(JsonObjectGetItemObject, GivesACopyOfAnElement) {
    const char* doc = R"([{"a":1},2,"s"])";
    RunRows({
        {doc, CALL(GetItemObject(0, T(""))), R"({"a":1})"},
        {doc, CALL(GetItemObject(1, T(""))), "2"},
        {doc, CALL(GetItemObject(2, T(""))), R"("s")"},
        {doc, CALL(GetItemObject(9, T(""))), "null"},
        {R"({"list":[[1,2]]})", CALL(GetItemObject(0, T("list"))), "[1,2]"},
        {R"({"list":[[1,2]]})", CALL(GetItemObject(0, T("missing"))), "null"},
    });
}

TEST(JsonObjectGetItem, ReadsAnElement) {
    const char* doc = R"([1,"x",null,{"a":2}])";
    RunRows({
        {doc, CALL(GetItem(0, T(""), false)), "1"},
        {doc, CALL(GetItem(1, T(""), false)), "x"},
        {doc, CALL(GetItem(1, T(""), true)), R"("x")"},
        {doc, CALL(GetItem(2, T(""), false)), ""},
        {doc, CALL(GetItem(2, T(""), true)), "null"},
        {doc, CALL(GetItem(3, T(""), true)), R"({"a":2})"},
        {doc, CALL(GetItem(-1, T(""), false)), ""},
        {doc, CALL(GetItem(4, T(""), false)), ""},
        {R"({"list":["a","b"]})", CALL(GetItem(1, T("list"), false)), "b"},
        {R"({"list":["a","b"]})", CALL(GetItem(0, T("missing"), false)), ""},
    });
}

TEST(JsonObjectSetItem, StoresAtAnIndexOfTheDocument) {
    RunRows({
        {"[1,2]", DO(SetItem(1, T("x"), false)), "", R"([1,"x"])"},
        {"[1,2]", DO(SetItem(0, T("It's"), false)), "", R"(["It's",2])"},
        {"[1,2]", DO(SetItem(4, T("5"), true)), "", "[1,2,null,null,5]"},
        {"[1,2]", DO(SetItem(0, T(""), true)), "", "[1,2]"},
        {"", DO(SetItem(0, T("v"), false)), "", R"({"0":"v"})"},
    });
}

TEST(JsonObjectRemoveItem, RemovesAnElementOfTheDocument) {
    RunRows({
        {"[1,2,3]", DO(RemoveItem(0)), "", "[2,3]"},
        {"[1,2,3]", DO(RemoveItem(1)), "", "[1,3]"},
        {"[1,2,3]", DO(RemoveItem(-1)), "", "[1,2]"},
        {"[1,2,3]", DO(RemoveItem(5)), "", "[1,2,3]"},
        {R"({"a":1})", DO(RemoveItem(0)), "", R"({"a":1})"},
    });
}

TEST(JsonObjectHasMember, TrueForAnyValueButNull) {
    const char* doc = R"({"zero":0,"empty":"","no":false,"z":null,"o":{"p":1}})";
    RunRows({
        {doc, CALL(HasMember(T("zero"))), "true"},
        {doc, CALL(HasMember(T("empty"))), "true"},
        {doc, CALL(HasMember(T("no"))), "true"},
        {doc, CALL(HasMember(T("o.p"))), "true"},
        {doc, CALL(HasMember(T("z"))), "false"},
        {doc, CALL(HasMember(T("missing"))), "false"},
        {doc, CALL(HasMember(T("missing.x"))), "false"},
    });
}

TEST(JsonObjectGetMemberNames, ListsForInNamesWithTheLibraryAdditions) {
    const auto names = [](const char* path) {
        return [path](JsonObject& j) {
            std::vector<Text> list = {Text("stale")};
            j.GetMemberNames(list, T(path));
            return Show(list);
        };
    };
    RunRows({
        {"", "names of {}", names(""), "<toJSONString><parseJSON>"},
        {R"({"a":1,"b":2})", "names of a, b", names(""), "<a><b><toJSONString><parseJSON>"},
        {R"({"l":[7,8]})", "names of an array", names("l"), "<0><1><toJSONString><parseJSON>"},
        {R"({"a,b":1})", "a name with a comma", names(""), "<a><b><toJSONString><parseJSON>"},
        {R"({"":1})", "an empty name", names(""), "<><toJSONString><parseJSON>"},
        {R"({"名字":1,"网址":2})", "double-byte names", names(""),
         "<名字><网址><toJSONString><parseJSON>"},
        {R"({"a":1})", "a missing member", names("missing"), ""},
        {R"({"a":1})", "through a missing member", names("missing.x"), ""},
    });
}

TEST(JsonObjectGetMemberNames, LeavesNoListInTheEngine) {
    JsonObject json;
    std::vector<Text> names;
    json.GetMemberNames(names, T(""));
    EXPECT_EQ(CallMethod<Text>(json.engine, "Eval", {"String(ary)"}).str(), "null");
}

TEST(JsonObjectGetType, ReportsTheKindOfValue) {
    const char* doc =
        R"({"o":{},"a":[],"s":"x","n":1,"t":true,"f":false,"z":null,"m":{"map":1},"m0":{"map":0}})";
    RunRows({
        {doc, CALL(GetType(T(""))), "4"},
        {doc, CALL(GetType(T("o"))), "4"},
        {doc, CALL(GetType(T("a"))), "5"},
        {doc, CALL(GetType(T("s"))), "6"},
        {doc, CALL(GetType(T("n"))), "2"},
        {doc, CALL(GetType(T("t"))), "-1"},
        {doc, CALL(GetType(T("f"))), "-1"},
        {doc, CALL(GetType(T("z"))), "0"},
        {doc, CALL(GetType(T("missing"))), "0"},
        {doc, CALL(GetType(T("missing.x"))), "-1"},
        {doc, CALL(GetType(T("m"))), "5"},
        {doc, CALL(GetType(T("m0"))), "4"},
        {doc, CALL(GetType(T("toJSONString"))), "-1"},
        {"[1]", CALL(GetType(T("[0]"))), "-1"},
        {"", "GetType after Parse of an empty text",
         [](JsonObject& j) {
             j.Parse(T(""));
             return Show(j.GetType(T("")));
         },
         "0"},
    });
}

// Every operation that takes a plain string stores exactly what it was given.
TEST(JsonObjectPlainStrings, ArriveExactly) {
    const std::string values[] = {
        "It's",
        "C:\\dir\\",
        "end\\",
        "\\'",
        "a\"b",
        "line1\r\nline2",
        "tab\there",
        "\x01\x1f",
        "'+(hacked=1)+'",
        "</script>",
        Gbk("中文，标点。"),
        "\x95\x5c\x81\x5c",
        "\x80",
    };
    for (const std::string& value : values) {
        SCOPED_TRACE("value " + value);
        const Text text(value);
        JsonObject json;
        json.SetMember(T("m"), text, false);
        EXPECT_EQ(json.GetText(T("m"), false).str(), value) << "SetMember";
        json.AppendItem(text, T("list"), false);  // no list yet: nothing happens
        json.SetMemberRaw(T("list"), T("[]"));
        json.AppendItem(text, T("list"), false);
        EXPECT_EQ(json.GetItem(0, T("list"), false).str(), value) << "AppendItem";
        json.Assign(text, false);
        EXPECT_EQ(json.GetText(T(""), false).str(), value) << "Assign";
        json.Reset(JsonType::TypeArray);
        json.SetItem(0, text, false);
        EXPECT_EQ(json.GetItem(0, T(""), false).str(), value) << "SetItem";
        EXPECT_EQ(CallMethod<Text>(json.engine, "Eval", {"typeof hacked"}).str(), "undefined");
    }
}

}  // namespace
}  // namespace brenvik::testing
