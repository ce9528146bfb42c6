#pragma once

#include <memory>

#include "automation/dispatch_object.h"

namespace brenvik {

// The stream object ("Adodb.Stream"): a byte buffer read and written either as
// bytes (Type 1) or as text in a named character set (Type 2).
std::shared_ptr<DispatchObject> MakeAdodbStream();

}  // namespace brenvik
