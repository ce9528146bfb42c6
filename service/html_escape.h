#pragma once

#include <string>
#include <string_view>

namespace brenvik {

// Text made safe for HTML element content and quoted attribute values: & < > " ' are
// written as character references.
std::string HtmlEscape(std::string_view text);

}  // namespace brenvik
