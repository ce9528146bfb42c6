#pragma once

#include <string>
#include <string_view>

namespace brenvik {

// UTF-8 to UTF-16 and back, for the libraries that speak UTF-8 (libcurl, Duktape).
// Decoding is lenient the way Duktape's strings need: encoded surrogates (CESU-8)
// pass through as code units; any other malformed byte becomes U+FFFD.
std::u16string Utf8ToUnicode(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string UnicodeToUtf8(std::u16string_view text);

}  // namespace brenvik
