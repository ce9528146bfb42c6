#pragma once

#include "common/text.h"

namespace brenvik {

// The system's one message box: `text` as plain text, caption "信息：", a single
// OK button, no icon and no owner. It is modal to every window of the program
// and returns when the user dismisses it. A null text shows an empty box.
void ShowMessage(const Text& text);

}  // namespace brenvik
