#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brenvik {

// Appends `text` (UTF-8) as a JSON string literal, quotes included. Control characters
// and U+2028/U+2029 are written as \u escapes so that the text also reads as a
// JavaScript literal; invalid UTF-8 bytes become U+FFFD.
void AppendJsonString(std::string& out, std::string_view text);

// Builds one flat JSON object, members in the order they are added.
class JsonObjectWriter {
public:
    JsonObjectWriter& Add(std::string_view name, std::string_view value);
    JsonObjectWriter& Add(std::string_view name, const char* value) {
        return Add(name, std::string_view(value));
    }
    JsonObjectWriter& Add(std::string_view name, bool value);
    JsonObjectWriter& Add(std::string_view name, std::int64_t value);

    // The finished object text, "{}" when nothing was added.
    std::string Finish() const { return text_ + "}"; }

private:
    void AddName(std::string_view name);

    std::string text_ = "{";
};

}  // namespace brenvik
