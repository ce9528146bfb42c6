#pragma once

#include <string>
#include <string_view>

namespace brenvik {

// Conversion between a named byte encoding and Unicode (UTF-16 code units).
// This is the only place that talks to iconv; names are iconv's ("CP936", "UTF-8").
//
// Decoding never fails on bad input: every byte that does not start a valid
// sequence becomes `replacement`, and an incomplete sequence at the end does too.
// Encoding turns every character the target lacks (and every lone surrogate)
// into `replacement`. Both return false only when iconv does not know the name.
bool DecodeCharset(std::string_view bytes, const char* charset, char16_t replacement,
                   std::u16string& out);
bool EncodeCharset(std::u16string_view text, const char* charset, char replacement,
                   std::string& out);

// True when iconv can convert between `charset` and Unicode.
bool IsKnownCharset(const char* charset);

}  // namespace brenvik
