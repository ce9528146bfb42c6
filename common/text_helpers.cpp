#include "common/text_helpers.h"

#include <cstdio>
#include <ostream>
#include <string>

namespace brenvik {

Text JoinTexts(std::initializer_list<Text> parts) {
    std::size_t total = 0;
    for (const Text& part : parts) total += part.Length();
    std::string joined;
    joined.reserve(total);
    for (const Text& part : parts) joined += part.view();
    return Text(std::string_view(joined));
}

std::size_t TextLength(const Text& text) { return text.Length(); }

std::ostream& operator<<(std::ostream& os, const Text& text) {
    os << '"';
    for (unsigned char c : text.view()) {
        if (c >= 0x20 && c < 0x7F) {
            os << static_cast<char>(c);
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
            os << buffer;
        }
    }
    return os << '"';
}

int CompareTexts(const Text& a, const Text& b) { return a.view().compare(b.view()); }

}  // namespace brenvik
