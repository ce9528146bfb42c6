#pragma once

#include <gtest/gtest.h>

#include <charconv>
#include <functional>
#include <string>
#include <vector>

#include "json/json_object.h"

namespace brenvik::testing {

// One case of a table: a document, one call on it, the call's result written
// as text and, when given, the document's ToText afterwards. Texts are UTF-8
// here and turned into code page 936 before they meet the object.
struct Row {
    std::string document;  // given to Parse; empty keeps the new instance's {}
    std::string call;      // shown when the row fails
    std::function<std::string(JsonObject&)> run;
    std::string expected;
    const char* after = nullptr;
};

inline std::string Gbk(const std::string& utf8) { return Text::FromUtf8(utf8).str(); }

inline std::string Show(const Text& text) { return text.str(); }
inline std::string Show(bool flag) { return flag ? "true" : "false"; }
inline std::string Show(double number) {
    char buffer[40];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, number);
    return std::string(buffer, result.ptr);
}
inline std::string Show(std::int64_t count) { return std::to_string(count); }
inline std::string Show(JsonType type) { return std::to_string(static_cast<int>(type)); }
// Each entry in angle brackets, so that an empty entry and an empty list differ.
inline std::string Show(const std::vector<Text>& names) {
    std::string out;
    for (const Text& name : names) out += "<" + name.str() + ">";
    return out;
}
// A new object: its document, then it is destroyed.
inline std::string Show(JsonObject&& object) {
    std::string text = object.ToText().str();
    object.Destroy();
    return text;
}

inline void RunRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        SCOPED_TRACE("document " + row.document + " | " + row.call);
        JsonObject json;
        if (!row.document.empty()) {
            ASSERT_TRUE(json.Parse(Text::FromUtf8(row.document))) << "document does not load";
        }
        EXPECT_EQ(row.run(json), Gbk(row.expected));
        if (row.after) {
            EXPECT_EQ(json.ToText().str(), Gbk(row.after)) << "ToText afterwards";
        }
        json.Destroy();
    }
}

}  // namespace brenvik::testing

// A call written once: as the row's description and as the code that runs it.
#define BRENVIK_CALL(expr) \
#expr, [](::brenvik::JsonObject & j) { return ::brenvik::testing::Show(j.expr); }
#define BRENVIK_DO(expr) \
#expr, [](::brenvik::JsonObject& j) { j.expr; return std::string(); }

namespace brenvik::testing {
// A Text from UTF-8 test source.
inline Text T(const char* utf8) { return Text::FromUtf8(utf8); }
}  // namespace brenvik::testing
