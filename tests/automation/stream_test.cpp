#include <gtest/gtest.h>

#include "automation_fixture.h"

namespace brenvik {
namespace {

using testing::Hex;

class StreamTest : public testing::AutomationTest {
protected:
    void SetUp() override {
        AutomationTest::SetUp();
        ASSERT_TRUE(CreateObject(stream, "Adodb.Stream"));
    }

    // Writes `bytes` in byte mode and reads them back as text in `charset`.
    Text Decode(const Bytes& bytes, const char* charset) {
        SetProperty(stream, "Type", 1);
        CallMethod(stream, "Open");
        Variant v;
        BytesToVariant(v, bytes);
        CallMethod(stream, "Write", {v});
        SetProperty(stream, "Position", 0);
        SetProperty(stream, "Type", 2);
        SetProperty(stream, "Charset", charset);
        Text text = CallMethod<Text>(stream, "ReadText");
        CallMethod(stream, "Close");
        return text;
    }

    // Writes `text` in `charset` and reads the bytes back.
    Bytes Encode(const Text& text, const char* charset) {
        SetProperty(stream, "Type", 2);
        CallMethod(stream, "Open");
        SetProperty(stream, "Charset", charset);
        CallMethod(stream, "WriteText", {text});
        SetProperty(stream, "Position", 0);
        SetProperty(stream, "Type", 1);
        Bytes bytes = VariantToBytes(CallMethod<Variant>(stream, "Read"));
        CallMethod(stream, "Close");
        return bytes;
    }

    AutomationObject stream;
};

TEST_F(StreamTest, DecodesText) {
    struct Case {
        const char* name;
        Bytes input;
        const char* charset;
        const char* expected;  // code page 936 bytes, as the Text holds them
    } cases[] = {
        {"chinese utf-8", {0xE4, 0xB8, 0xAD, 0xE6, 0x96, 0x87}, "UTF-8", "D6 D0 CE C4"},
        {"byte-order mark dropped", {0xEF, 0xBB, 0xBF, 0x7B, 0x7D}, "utf-8", "7B 7D"},
        {"thai letter becomes ?", {0xE0, 0xB8, 0x81}, "UTF-8", "3F"},
        {"gbk", {0xD6, 0xD0}, "GBK", "D6 D0"},
        {"malformed utf-8, one ? per bad byte", {0x61, 0xFF, 0xC3, 0x62}, "UTF-8", "61 3F 3F 62"},
        {"cut short at the end", {0x61, 0xE4, 0xB8}, "UTF-8", "61 3F"},
        {"NUL ends the text", {0x61, 0x00, 0x62}, "UTF-8", "61"},
        {"empty", {}, "UTF-8", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Hex(Decode(c.input, c.charset)), c.expected);
    }
}

TEST_F(StreamTest, EncodesText) {
    EXPECT_EQ(Hex(Encode(Text("\xD6\xD0\xCE\xC4"), "UTF-8")), "E4 B8 AD E6 96 87");
    EXPECT_EQ(Hex(Encode(Text("\xD6\xD0\xCE\xC4"), "GBK")), "D6 D0 CE C4");
    EXPECT_EQ(Hex(Encode(Text("\xD6\xD0"), "iso-8859-1")), "3F");  // missing in the set
    EXPECT_EQ(Hex(Encode(Text(), "UTF-8")), "");
}

TEST_F(StreamTest, UnknownCharsetFailsAndKeepsTheOldOne) {
    EXPECT_TRUE(SetProperty(stream, "Charset", "UTF-8"));
    EXPECT_FALSE(SetProperty(stream, "Charset", "klingon"));
    EXPECT_FALSE(SetProperty(stream, "Charset", " UTF-8"));
    EXPECT_EQ(GetProperty(stream, "Charset").AsString(), u"UTF-8");
}

TEST_F(StreamTest, TypeChangesOnlyAtPositionZero) {
    SetProperty(stream, "Type", 1);
    CallMethod(stream, "Open");
    Variant v;
    BytesToVariant(v, Bytes{1, 2, 3});
    CallMethod(stream, "Write", {v});
    EXPECT_FALSE(SetProperty(stream, "Type", 2));
    EXPECT_EQ(GetProperty(stream, "Type").AsInt32(), 1);
    EXPECT_TRUE(SetProperty(stream, "Position", 0));
    EXPECT_TRUE(SetProperty(stream, "Type", 2));
}

TEST_F(StreamTest, ModeAndStateRules) {
    Variant v;
    BytesToVariant(v, Bytes{0x41});
    EXPECT_TRUE(CallMethod<Variant>(stream, "Read").IsEmpty());  // closed
    EXPECT_FALSE(SetProperty(stream, "Position", 0));            // closed
    CallMethod(stream, "Open");                                  // text mode by default
    CallMethod(stream, "Write", {v});                            // bytes in text mode: refused
    EXPECT_EQ(GetProperty(stream, "Size").AsInt32(), 0);
    SetProperty(stream, "Type", 1);
    CallMethod(stream, "Write", {v});
    CallMethod(stream, "Write", {v});
    EXPECT_EQ(GetProperty(stream, "Position").AsInt32(), 2);
    SetProperty(stream, "Position", 1);
    EXPECT_EQ(Hex(VariantToBytes(CallMethod<Variant>(stream, "Read"))), "41");
    SetProperty(stream, "Position", 10);  // past the end: nothing to read
    EXPECT_EQ(Hex(VariantToBytes(CallMethod<Variant>(stream, "Read"))), "");
    CallMethod(stream, "Close");
    CallMethod(stream, "Open");  // reopened empty, in the same mode
    EXPECT_EQ(GetProperty(stream, "Size").AsInt32(), 0);
    EXPECT_EQ(GetProperty(stream, "Type").AsInt32(), 1);
}

}  // namespace
}  // namespace brenvik
