#pragma once

#include <cstddef>
#include <string>

namespace brenvik {

inline constexpr std::size_t kGeneratedAliasLength = 6;

// A fresh alias of 6 characters from [0-9A-Za-z], drawn from the kernel's random
// source without modulo bias. Empty only if the kernel refuses to give randomness.
std::string GenerateAlias();

}  // namespace brenvik
