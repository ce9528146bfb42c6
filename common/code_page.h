#pragma once

#include <string>
#include <string_view>

#include "common/text.h"

namespace brenvik {

// The system's one conversion between a Text (code page 936) and Unicode.
// Towards a Text, characters the code page lacks become '?' and the result
// ends at the first U+0000. Towards Unicode, a byte sequence that is not valid
// code page 936 becomes '?' as well.
std::u16string TextToUnicode(const Text& text);
Text UnicodeToText(std::u16string_view text);

}  // namespace brenvik
