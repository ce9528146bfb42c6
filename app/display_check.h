#pragma once

namespace brenvik {

// True when the window toolkit has somewhere to draw: an X11 or Wayland
// display in the environment, or a platform chosen with QT_QPA_PLATFORM.
bool HasDisplay();

// The plain explanation printed instead of the toolkit's abort.
inline constexpr const char* kNoDisplayMessage =
    "brenvik-shorturl: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are "
    "unset).\nStart it from a desktop session, or under xvfb-run.\n";

}  // namespace brenvik
