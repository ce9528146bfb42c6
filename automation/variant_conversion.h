#pragma once

#include <string>

#include "automation/variant.h"
#include "common/text.h"

namespace brenvik {

// The conversions of a call's result to the kind the caller asked for.
// Each returns false when the value cannot be converted; Null and Missing never
// convert, Empty gives "", 0 or false.
//
// Text forms: numbers as JavaScript prints them ("3", "0.1", "1e+21", "NaN",
// "Infinity"), booleans as "true" and "false", 32-bit integers in decimal.
bool VariantToText(const Variant& value, Text& out);
// Strings convert when the whole string (blanks around it aside) is a decimal number.
bool VariantToNumber(const Variant& value, double& out);
// Numbers are true when nonzero; strings "true" / "false" (any case) or a number.
bool VariantToBoolean(const Variant& value, bool& out);

// The JavaScript text form of a number.
std::string FormatNumber(double value);

}  // namespace brenvik
