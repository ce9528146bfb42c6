#include "shortening/convert_code_page.h"

#include <gtest/gtest.h>

#include "../automation/automation_fixture.h"
#include "automation/class_registry.h"

namespace brenvik {
namespace {

using testing::Hex;

struct ConversionCase {
    const char* name;
    Bytes input;
    Text from;
    Text to;
    std::optional<std::int32_t> skip;
    const char* expected;
};

// ConvertCodePage initialises automation itself, so these run on a bare thread.
TEST(ConvertCodePageTest, Conversions) {
    const Bytes chinese{0xE4, 0xB8, 0xAD, 0xE6, 0x96, 0x87};
    const ConversionCase cases[] = {
        {"utf-8 to gbk by default", chinese, Text(), Text(), std::nullopt, "D6 D0 CE C4"},
        {"plain ascii unchanged", ToBytes("{\"a\":1}"), Text(), Text(), std::nullopt,
         "7B 22 61 22 3A 31 7D"},
        {"empty input", {}, Text(), Text(), std::nullopt, ""},
        {"empty and null names take the defaults", chinese, Text(""), Text(nullptr), std::nullopt,
         "D6 D0 CE C4"},
        {"a NUL ends the result", {0x61, 0x62, 0x00, 0x63}, Text(), Text(), std::nullopt, "61 62"},
        {"thai letter becomes ?", {0x61, 0xE0, 0xB8, 0x81}, Text(), Text(), std::nullopt, "61 3F"},
        {"utf-8 to utf-8 is not the identity",
         {0xE4, 0xB8, 0xAD, 0xE0, 0xB8, 0x81},
         "UTF-8",
         "UTF-8",
         std::nullopt,
         "E4 B8 AD 3F"},
        {"gbk to utf-8", {0xD6, 0xD0}, "GBK", "UTF-8", std::nullopt, "E4 B8 AD"},
        {"skip 0 is no skip", chinese, Text(), Text(), 0, "D6 D0 CE C4"},
        {"skip leaves out leading bytes", chinese, Text(), Text(), 2, "CE C4"},
        {"skip past the end gives nothing", chinese, Text(), Text(), 99, ""},
        {"byte-order mark dropped", {0xEF, 0xBB, 0xBF, 0x7B}, Text(), Text(), std::nullopt, "7B"},
        // a blank name is not empty: it is passed on, refused, and the stream's own
        // charset (UTF-16) decodes the bytes instead
        {"blank name is passed on", ToBytes("a"), Text(" "), Text(), std::nullopt, "3F"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Hex(ConvertCodePage(c.input, c.from, c.to, c.skip)), c.expected);
    }
    EXPECT_FALSE(IsAutomationInitialized());  // every initialisation was undone
}

TEST(ConvertCodePageTest, NoStreamObjectGivesEmptyBytes) {
    ClassRegistry::Instance().Unregister("Adodb.Stream");
    Bytes result = ConvertCodePage(ToBytes("abc"));
    ClassRegistry::Instance().RestoreDefaults();
    EXPECT_TRUE(result.empty());
}

}  // namespace
}  // namespace brenvik
