#pragma once

#include <cstddef>
#include <memory>

#include "automation/dispatch_object.h"

namespace brenvik {

// The script engine ("MSScriptControl.ScriptControl"): one Duktape heap per
// object, running JavaScript in one global scope that lasts as long as the object.
std::shared_ptr<DispatchObject> MakeScriptControl();

// The most memory one engine may hold; past it the running script fails.
constexpr std::size_t kScriptHeapLimit = 64u << 20;

}  // namespace brenvik
