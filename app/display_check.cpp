#include "app/display_check.h"

#include <cstdlib>

namespace brenvik {
namespace {

bool IsSet(const char* name) {
    const char* value = std::getenv(name);
    return value && *value;
}

}  // namespace

bool HasDisplay() {
    return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM");
}

}  // namespace brenvik
