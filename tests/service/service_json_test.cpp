// The JSON the service writes (replies, export lines) and the strict reader for imports.

#include <gtest/gtest.h>

#include "service/flat_json_reader.h"
#include "service/html_escape.h"
#include "service/json_writer.h"
#include "service/link_transfer.h"

namespace brenvik {
namespace {

std::string JsonString(std::string_view text) {
    std::string out;
    AppendJsonString(out, text);
    return out;
}

TEST(AppendJsonString, EscapesWhatJsonAndJavaScriptNeed) {
    struct Case {
        std::string text;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"", "\"\""},
        {"短网址已生成", "\"短网址已生成\""},
        {"say \"hi\"", "\"say \\\"hi\\\"\""},
        {"C:\\dir", "\"C:\\\\dir\""},
        {"a\nb\rc\td", "\"a\\nb\\rc\\td\""},
        {std::string("\x01\x1f\x7f", 3), "\"\\u0001\\u001f\\u007f\""},
        {std::string("nul\0in", 6), "\"nul\\u0000in\""},
        {"line\u2028para\u2029", "\"line\\u2028para\\u2029\""},
        {"</script>", "\"</script>\""},
        {"bad\xFF", "\"bad\xEF\xBF\xBD\""},
        {"cut\xE4\xB8", "\"cut\xEF\xBF\xBD\xEF\xBF\xBD\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("text: " + c.text);
        EXPECT_EQ(JsonString(c.text), c.expected);
    }
}

TEST(ReadFlatJsonObject, ReadsWhatTheWriterWrites) {
    const std::string tricky = "q\"b\\s/\n\t\x01 中😀\u2028";
    const std::string text = JsonObjectWriter()
                                 .Add("text", tricky)
                                 .Add("yes", true)
                                 .Add("no", false)
                                 .Add("big", std::int64_t{9223372036854775807})
                                 .Add("small", std::int64_t{-9223372036854775807 - 1})
                                 .Finish();
    const auto object = ReadFlatJsonObject(text);
    ASSERT_TRUE(object) << text;
    EXPECT_EQ(object->at("text"), FlatJsonValue{tricky});
    EXPECT_EQ(object->at("yes"), FlatJsonValue{true});
    EXPECT_EQ(object->at("no"), FlatJsonValue{false});
    EXPECT_EQ(object->at("big"), FlatJsonValue{std::int64_t{9223372036854775807}});
    EXPECT_EQ(object->at("small"), FlatJsonValue{std::int64_t{-9223372036854775807 - 1}});
}

TEST(ReadFlatJsonObject, AcceptsEscapesAndSpacing) {
    const auto object = ReadFlatJsonObject(
        " { \"a\" : \"\\u4e2d\\ud83d\\ude00\\/\\b\\f\" ,\r\n\"n\":null, \"z\":0,\"m\":-12 } ");
    ASSERT_TRUE(object);
    EXPECT_EQ(object->at("a"), FlatJsonValue{std::string("中😀/\b\f")});
    EXPECT_EQ(object->at("n"), FlatJsonValue{nullptr});
    EXPECT_EQ(object->at("z"), FlatJsonValue{std::int64_t{0}});
    EXPECT_EQ(object->at("m"), FlatJsonValue{std::int64_t{-12}});
    EXPECT_TRUE(ReadFlatJsonObject("{}"));
}

TEST(ReadFlatJsonObject, RefusesAnythingElse) {
    const std::vector<std::string> refused = {
        "",
        "[]",
        "{",
        "{\"a\":1",
        "{\"a\":1,}",
        "{,}",
        "{\"a\" 1}",
        "{a:1}",
        "{'a':1}",
        "{\"a\":1}x",
        "{\"a\":1}{}",
        "{\"a\":1,\"a\":2}",
        "{\"a\":[1]}",
        "{\"a\":{}}",
        "{\"a\":1.5}",
        "{\"a\":1e3}",
        "{\"a\":01}",
        "{\"a\":-}",
        "{\"a\":+1}",
        "{\"a\":9223372036854775808}",
        "{\"a\":-9223372036854775809}",
        "{\"a\":tru}",
        "{\"a\":True}",
        "{\"a\":\"\\ud800\"}",
        "{\"a\":\"\\ude00\"}",
        "{\"a\":\"\\ud800\\u0041\"}",
        "{\"a\":\"\\u12g4\"}",
        "{\"a\":\"\\x41\"}",
        "{\"a\":\"raw\ttab\"}",
        "{\"a\":\"bad\xFF\"}",
        "{\"a\":\"open}",
    };
    for (const std::string& text : refused) {
        SCOPED_TRACE("text: " + text);
        EXPECT_FALSE(ReadFlatJsonObject(text));
    }
}

TEST(LinkJsonLine, RoundTripsEveryField) {
    const Link link{"中文-x", "https://example.com/\"q\"\\?a=1&b=\u2028", true, 1700000000, 42};
    const std::string line = LinkToJsonLine(link);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    std::string why;
    const auto read = LinkFromJsonLine(line, why);
    ASSERT_TRUE(read) << why;
    EXPECT_EQ(*read, link);
}

TEST(HtmlEscape, EscapesMarkupCharacters) {
    EXPECT_EQ(HtmlEscape("<a href=\"x\" title='y'>&amp;</a> 中"),
              "&lt;a href=&quot;x&quot; title=&#39;y&#39;&gt;&amp;amp;&lt;/a&gt; 中");
}

}  // namespace
}  // namespace brenvik
