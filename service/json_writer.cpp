#include "service/json_writer.h"

#include "service/utf8_validation.h"

namespace brenvik {

namespace {

void AppendUnicodeEscape(std::string& out, unsigned value) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(value >> shift) & 0xF]);
}

}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
    out.push_back('"');
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t start = pos;
        const auto codePoint = NextCodePoint(text, pos);
        if (!codePoint) {
            out += "\xEF\xBF\xBD";
            pos = start + 1;
            continue;
        }
        switch (*codePoint) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (*codePoint < 0x20 || *codePoint == 0x7F || *codePoint == 0x2028 ||
                    *codePoint == 0x2029) {
                    AppendUnicodeEscape(out, static_cast<unsigned>(*codePoint));
                } else {
                    out.append(text.substr(start, pos - start));
                }
        }
    }
    out.push_back('"');
}

void JsonObjectWriter::AddName(std::string_view name) {
    if (text_.size() > 1) text_.push_back(',');
    AppendJsonString(text_, name);
    text_.push_back(':');
}

JsonObjectWriter& JsonObjectWriter::Add(std::string_view name, std::string_view value) {
    AddName(name);
    AppendJsonString(text_, value);
    return *this;
}

JsonObjectWriter& JsonObjectWriter::Add(std::string_view name, bool value) {
    AddName(name);
    text_ += value ? "true" : "false";
    return *this;
}

JsonObjectWriter& JsonObjectWriter::Add(std::string_view name, std::int64_t value) {
    AddName(name);
    text_ += std::to_string(value);
    return *this;
}

}  // namespace brenvik
