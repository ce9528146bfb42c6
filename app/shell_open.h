#pragma once

#include "common/text.h"

namespace brenvik {

// The shell's "open" operation: hands `target` unchanged, as the one argument,
// to xdg-open (found on PATH, started directly, never through a shell) and
// does not wait for it. True when the opener was started; nothing is shown.
bool ShellOpen(const Text& target);

}  // namespace brenvik
