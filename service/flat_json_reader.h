#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace brenvik {

// A member value of a flat JSON object: null, a boolean, an integer or a string.
using FlatJsonValue = std::variant<std::nullptr_t, bool, std::int64_t, std::string>;
using FlatJsonObject = std::map<std::string, FlatJsonValue, std::less<>>;

// Reads one JSON object whose members are all null, true, false, integers (64-bit,
// no fraction or exponent) or strings; surrounding whitespace is allowed. Empty for
// anything else: nested values, duplicate names, invalid UTF-8, lone surrogates,
// raw control characters, trailing text.
std::optional<FlatJsonObject> ReadFlatJsonObject(std::string_view text);

}  // namespace brenvik
