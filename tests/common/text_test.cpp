#include "common/text.h"

#include <gtest/gtest.h>

#include "common/bytes.h"
#include "common/text_helpers.h"

namespace brenvik {
namespace {

TEST(TextTest, NullAndEmptyAreTheSameValue) {
    Text null(static_cast<const char*>(nullptr));
    EXPECT_EQ(null, Text());
    EXPECT_EQ(null, Text(""));
    EXPECT_EQ(CompareTexts(null, Text("")), 0);
    EXPECT_STREQ(null.c_str(), "");
    EXPECT_EQ(TextLength(null), 0u);
}

TEST(TextTest, EndsAtTheFirstNul) {
    using namespace std::string_view_literals;
    EXPECT_EQ(Text("ab\0cd"sv).view(), "ab");
    EXPECT_EQ(BytesToText(Bytes{0x61, 0x62, 0x00, 0x63}).view(), "ab");
    EXPECT_EQ(BytesToText(Bytes{0x00, 0x61}), Text());
    EXPECT_EQ(BytesToText(Bytes{}), Text());
}

TEST(TextTest, JoinSkipsNullPartsAndKeepsOrder) {
    EXPECT_EQ(Join("var ", Text(), "da", "", "={}"), Text("var da={}"));
    EXPECT_EQ(Join(Text(), Text()), Text());
    EXPECT_EQ(JoinTexts({}), Text());
}

TEST(TextTest, CompareIsBytewise) {
    EXPECT_LT(CompareTexts("a", "b"), 0);
    EXPECT_GT(CompareTexts("b", "a"), 0);
    EXPECT_LT(CompareTexts("", "a"), 0);
    // Bytes above 0x7F sort after ASCII, as unsigned bytes.
    EXPECT_GT(CompareTexts(Text("\xD6\xD0"), Text("z")), 0);
    EXPECT_NE(CompareTexts(Text(" "), Text()), 0);
}

}  // namespace
}  // namespace brenvik
