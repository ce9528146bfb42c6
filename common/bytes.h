#pragma once

#include <cstdint>
#include <vector>

#include "common/text.h"

namespace brenvik {

// Owned bytes with their length. An empty vector is both the null and the empty value.
using Bytes = std::vector<std::uint8_t>;

inline Bytes ToBytes(std::string_view s) { return Bytes(s.begin(), s.end()); }

// The text held by the bytes up to (not including) their first zero byte.
inline Text BytesToText(const Bytes& bytes) {
    return Text(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

}  // namespace brenvik
