#include "app/qt_text.h"

#include "common/code_page.h"

namespace brenvik {

QString ToQString(const Text& text) { return QString::fromStdU16String(TextToUnicode(text)); }

Text ToText(const QString& text) { return UnicodeToText(text.toStdU16String()); }

}  // namespace brenvik
