#pragma once

#include <string>
#include <string_view>

namespace brenvik {

// A-Z a-z 0-9 - . _ ~: the bytes a URL or a form body carries as they are.
bool IsUnreservedByte(unsigned char c);

// Every byte for which `keep` is false becomes %XX (upper-case hex digits).
std::string PercentEncode(std::string_view bytes, bool (*keep)(unsigned char) = IsUnreservedByte);

}  // namespace brenvik
