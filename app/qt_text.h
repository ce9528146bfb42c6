#pragma once

#include <QString>

#include "common/text.h"

namespace brenvik {

// The crossing between Qt's UTF-16 strings and the system's Texts, through the
// one code-page conversion of common/: characters GBK lacks become '?', and a
// string ends at its first U+0000.
QString ToQString(const Text& text);
Text ToText(const QString& text);

}  // namespace brenvik
