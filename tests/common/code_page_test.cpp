#include "common/code_page.h"

#include <gtest/gtest.h>

#include "common/charset_converter.h"
#include "common/utf8.h"

namespace brenvik {
namespace {

std::string Hex(std::string_view bytes) {
    std::string out;
    char buffer[4];
    for (unsigned char c : bytes) {
        std::snprintf(buffer, sizeof buffer, "%02X ", c);
        out += buffer;
    }
    return out;
}

struct CodePageCase {
    const char* name;
    std::u16string unicode;
    std::string text;  // the code page 936 bytes it converts to
};

// Unicode -> Text, the direction every result of an automation call takes.
TEST(CodePageTest, UnicodeToText) {
    const CodePageCase cases[] = {
        {"ascii", u"http://a.b/c?d=1", "http://a.b/c?d=1"},
        {"chinese", u"中文", "\xD6\xD0\xCE\xC4"},
        {"euro is 0x80 as in code page 936", u"\u20AC", "\x80"},
        {"thai letter is missing", u"a\u0E01b", "a?b"},
        {"emoji (surrogate pair) is one question mark", u"x\U0001F600y", "x?y"},
        {"lone surrogate", u"x\xD800y", "x?y"},
        {"ends at NUL", std::u16string(u"ab\0cd", 5), "ab"},
        {"empty", u"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Hex(UnicodeToText(c.unicode).view()), Hex(c.text));
    }
}

TEST(CodePageTest, TextToUnicode) {
    EXPECT_EQ(TextToUnicode(Text("\xD6\xD0\xCE\xC4")), u"中文");
    EXPECT_EQ(TextToUnicode(Text("\x80")), u"\u20AC");
    EXPECT_EQ(TextToUnicode(Text()), u"");
    // A lead byte with no trail byte is not valid code page 936.
    EXPECT_EQ(TextToUnicode(Text("a\xD6")), u"a?");
    // Trail bytes in the ASCII range belong to their lead byte.
    EXPECT_EQ(TextToUnicode(Text("\x81\x40" "A\x81\x7E")), u"\u4E02A\u4E8A");
    EXPECT_EQ(Hex(UnicodeToText(u"\u4E02A\u4E8A").view()), "81 40 41 81 7E ");
    EXPECT_EQ(Text::FromUtf8("生成"), Text("\xC9\xFA\xB3\xC9"));
}

TEST(CodePageTest, RoundTripsEveryDoubleByteCharacterOfThePage) {
    // Every valid two-byte sequence must survive Text -> Unicode -> Text.
    int checked = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            std::u16string unicode = TextToUnicode(Text(bytes));
            if (unicode.find(u'?') != std::u16string::npos) continue;  // unassigned in the page
            ASSERT_EQ(Hex(UnicodeToText(unicode).view()), Hex(bytes));
            ++checked;
        }
    }
    EXPECT_GT(checked, 21000);
}

TEST(CharsetConverterTest, DecodesMalformedBytesAsReplacements) {
    std::u16string out;
    ASSERT_TRUE(
        DecodeCharset("a\xFF"
                      "b\xE4\xB8",
                      "UTF-8", u'\uFFFD', out));
    EXPECT_EQ(out, u"a\uFFFDb\uFFFD");
    // a sequence cut short by an ASCII byte is one replacement, and the ASCII byte stays
    ASSERT_TRUE(DecodeCharset("\xE4\xB8" "A\xE4\xB8\xAD", "UTF-8", u'\uFFFD', out));
    EXPECT_EQ(out, u"\uFFFDA\u4E2D");
    EXPECT_FALSE(DecodeCharset("x", "NO-SUCH-CHARSET", u'?', out));
    EXPECT_FALSE(IsKnownCharset("NO-SUCH-CHARSET"));
}

TEST(Utf8Test, ConvertsBothWaysAndReplacesMalformedInput) {
    EXPECT_EQ(Utf8ToUnicode("\xE4\xB8\xAD\xF0\x9F\x98\x80"), u"中\U0001F600");
    EXPECT_EQ(UnicodeToUtf8(u"中\U0001F600"), "\xE4\xB8\xAD\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToUnicode("a\xC0\xAF"), u"a\uFFFD\uFFFD");  // overlong form
    EXPECT_EQ(Utf8ToUnicode("\xED\xA0\xBD"), u"\xD83D");      // an encoded surrogate passes
    EXPECT_EQ(UnicodeToUtf8(u"\xDC00"), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace brenvik
