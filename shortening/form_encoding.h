#pragma once

#include <string>

#include "common/text.h"

namespace brenvik {

// The value as application/x-www-form-urlencoded carries it: converted from
// code page 936 to UTF-8, unreserved characters (A-Z a-z 0-9 - . _ ~) kept and
// every other byte written as %XX.
std::string FormEncode(const Text& value);

}  // namespace brenvik
