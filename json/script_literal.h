#pragma once

#include "common/text.h"

namespace brenvik {

// A JavaScript string literal, in single quotes, whose value is exactly the
// characters of `value` as the engine receives them (code page 936 read as
// Unicode). The literal is plain ASCII: quote, backslash and every character
// outside printable ASCII (line breaks, U+2028, U+2029 and the GBK characters)
// are written as escapes, so no byte of a double-byte character can end or
// bend the literal.
Text ScriptStringLiteral(const Text& value);

}  // namespace brenvik
