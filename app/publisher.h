#pragma once

namespace brenvik {

// The publisher's details shown by the window. Both are invented placeholders:
// the contact is an address under a reserved example domain, and so is the site.
inline constexpr const char* kProductName = "Brenvik短网址生成器";
inline constexpr const char* kPublisherContact = "IM:brenvik@tarnwell.example";
inline constexpr const char* kPublisherWebAddress = "https://tarnwell.example/";

}  // namespace brenvik
