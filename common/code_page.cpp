#include "common/code_page.h"

#include <algorithm>

#include "common/charset_converter.h"
#include "common/utf8.h"

namespace brenvik {
namespace {

constexpr const char* kCodePage = "CP936";

// Code page 936 leaves the ASCII range as it is, so the common case needs no converter.
bool IsAscii(std::string_view s) {
    return std::all_of(s.begin(), s.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}
bool IsAscii(std::u16string_view s) {
    return std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x80; });
}

}  // namespace

std::u16string TextToUnicode(const Text& text) {
    std::string_view bytes = text.view();
    if (IsAscii(bytes)) return std::u16string(bytes.begin(), bytes.end());
    std::u16string out;
    DecodeCharset(bytes, kCodePage, u'?', out);
    return out;
}

Text UnicodeToText(std::u16string_view text) {
    text = text.substr(0, text.find(u'\0'));
    if (IsAscii(text)) {
        std::string narrow(text.begin(), text.end());
        return Text(std::string_view(narrow));
    }
    std::string out;
    EncodeCharset(text, kCodePage, '?', out);
    return Text(std::string_view(out));
}

Text Text::FromUtf8(std::string_view utf8) { return UnicodeToText(Utf8ToUnicode(utf8)); }

}  // namespace brenvik
