#include "common/text_helpers.h"

#include <string>

namespace brenvik {

Text JoinTexts(std::initializer_list<Text> parts) {
    std::size_t total = 0;
    for (const Text& part : parts) total += part.Length();
    std::string joined;
    joined.reserve(total);
    for (const Text& part : parts) joined += part.view();
    return Text(std::string_view(joined));
}

std::size_t TextLength(const Text& text) { return text.Length(); }

int CompareTexts(const Text& a, const Text& b) { return a.view().compare(b.view()); }

}  // namespace brenvik
