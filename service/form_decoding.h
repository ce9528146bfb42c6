#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/percent_encoding.h"

namespace brenvik {

enum class PlusSign { Literal, Space };

// Decodes %XX escapes (either case of hex digit). Empty when a "%" is not followed by
// two hex digits: malformed input is refused, never passed through.
std::optional<std::string> PercentDecode(std::string_view encoded, PlusSign plus);

enum class FormError { None, MalformedEscape, NotUtf8, DuplicateField };

struct FormFields {
    FormError error = FormError::None;
    // Decoded name/value pairs in the order they came; empty pieces ("a&&b") are skipped.
    std::vector<std::pair<std::string, std::string>> fields;

    // The value of the field `name`, or "" when it is absent.
    std::string_view Value(std::string_view name) const;
};

// Parses an application/x-www-form-urlencoded body: "+" is a space, names and values
// must decode to strict UTF-8, and a name may appear only once.
FormFields ParseForm(std::string_view body);

}  // namespace brenvik
