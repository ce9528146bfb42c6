#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace brenvik {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// Decodes the code point that starts at `pos` and moves `pos` past it; empty when
// the bytes there are not strict UTF-8 (then `pos` is left as it was).
std::optional<char32_t> NextCodePoint(std::string_view bytes, std::size_t& pos);

// Appends the UTF-8 form of a code point the caller has checked to be a scalar value.
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace brenvik
