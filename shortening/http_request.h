#pragma once

#include <memory>

#include "automation/automation_object.h"

namespace brenvik {

// The program's one HTTP request object. The application makes the holder at
// start-up, fills it when its window is created and frees it at exit; every
// shortening request goes through it. Null or empty, requests give nothing.
extern std::unique_ptr<AutomationObject> httpRequest;

}  // namespace brenvik
