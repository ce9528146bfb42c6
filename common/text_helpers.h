#pragma once

#include <cstddef>
#include <initializer_list>

#include "common/text.h"

namespace brenvik {

// Joins the parts, in order, into a new Text; a null or empty part adds nothing.
Text JoinTexts(std::initializer_list<Text> parts);

template <typename... Parts>
Text Join(const Parts&... parts) {
    return JoinTexts({Text(parts)...});
}

std::size_t TextLength(const Text& text);

// Byte-wise comparison: <0, 0 or >0. A null text equals the empty text.
int CompareTexts(const Text& a, const Text& b);

}  // namespace brenvik
