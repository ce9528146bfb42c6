#pragma once

#include <algorithm>
#include <string_view>

namespace brenvik {

// Identifier and member names are matched without regard to case. They are
// ASCII, and a code page 936 text is ASCII exactly where its bytes are below
// 0x80, so comparing the bytes folds case correctly.
inline bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    auto fold = [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return fold(x) == fold(y); });
}

}  // namespace brenvik
