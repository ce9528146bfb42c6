#include "json/script_literal.h"

#include <string>

#include "common/code_page.h"

namespace brenvik {

Text ScriptStringLiteral(const Text& value) {
    // Escaping the Unicode form rather than the GBK bytes leaves nothing to the
    // code page: the engine sees the same characters as from a bare Text.
    const std::u16string characters = TextToUnicode(value);
    static constexpr char kHex[] = "0123456789abcdef";
    std::string literal;
    literal.reserve(characters.size() + 2);
    literal += '\'';
    for (char16_t c : characters) {
        if (c == u'\'' || c == u'\\') {
            literal += '\\';
            literal += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x7F) {
            literal += static_cast<char>(c);
        } else {
            literal += "\\u";
            for (int shift = 12; shift >= 0; shift -= 4) literal += kHex[(c >> shift) & 0xF];
        }
    }
    literal += '\'';
    return Text(std::string_view(literal));
}

}  // namespace brenvik
