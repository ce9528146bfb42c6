#include "shortening/form_encoding.h"

#include "common/code_page.h"
#include "common/percent_encoding.h"
#include "common/utf8.h"

namespace brenvik {

std::string FormEncode(const Text& value) {
    return PercentEncode(UnicodeToUtf8(TextToUnicode(value)));
}

}  // namespace brenvik
