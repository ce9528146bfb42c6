#include "shortening/form_encoding.h"

#include "common/code_page.h"
#include "common/utf8.h"

namespace brenvik {

std::string FormEncode(const Text& value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::string utf8 = UnicodeToUtf8(TextToUnicode(value));
    std::string out;
    out.reserve(utf8.size() * 3);
    for (char ch : utf8) {
        auto c = static_cast<unsigned char>(ch);
        bool unreserved = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
        if (unreserved) {
            out += ch;
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    return out;
}

}  // namespace brenvik
