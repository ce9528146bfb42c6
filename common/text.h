#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace brenvik {

// A NUL-terminated string in code page 936 (GBK), owned by its holder.
// The null text and the empty text are the same value: a default-constructed
// Text is empty, and a Text never holds a NUL byte (construction stops at the
// first one).
class Text {
public:
    Text() = default;
    Text(const char* s) : value_(s ? s : "") {}  // NOLINT: texts come from literals everywhere
    explicit Text(std::string_view bytes) : value_(bytes.substr(0, bytes.find('\0'))) {}

    // A Text from UTF-8 source text (a literal in this code base), converted to
    // code page 936 by the one conversion of the system.
    static Text FromUtf8(std::string_view utf8);

    const char* c_str() const { return value_.c_str(); }
    std::string_view view() const { return value_; }
    const std::string& str() const { return value_; }
    std::size_t Length() const { return value_.size(); }
    bool IsEmpty() const { return value_.empty(); }

    // Byte-wise equality; the null text equals the empty text.
    friend bool operator==(const Text&, const Text&) = default;

private:
    std::string value_;
};

// Prints the bytes, those outside ASCII as \xNN (used by test failure messages).
std::ostream& operator<<(std::ostream& os, const Text& text);

}  // namespace brenvik
