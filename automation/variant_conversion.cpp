#include "automation/variant_conversion.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "common/code_page.h"

namespace brenvik {
namespace {

std::string_view Trim(std::string_view s) {
    const char* blanks = " \t\r\n";
    std::size_t first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

bool ParseNumber(const std::u16string& s, double& out) {
    std::string narrow;
    for (char16_t c : s) {
        if (c >= 0x80) return false;
        narrow += static_cast<char>(c);
    }
    std::string_view t = Trim(narrow);
    if (t.empty()) return false;
    if (t.front() == '+') t.remove_prefix(1);
    auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), out);
    return ec == std::errc() && end == t.data() + t.size();
}

}  // namespace

std::string FormatNumber(double value) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value < 0 ? "-Infinity" : "Infinity";
    if (value == 0) return "0";

    // The shortest digits that read back as `value`, then JavaScript's layout rules.
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                std::chars_format::scientific);
    std::string_view sci(buffer, static_cast<std::size_t>(result.ptr - buffer));
    std::size_t e = sci.find('e');
    std::string digits;
    for (char c : sci.substr(0, e))
        if (c != '.') digits += c;
    int exponent = std::atoi(std::string(sci.substr(e + 1)).c_str());

    const int k = static_cast<int>(digits.size());
    const int n = exponent + 1;
    std::string out = value < 0 ? "-" : "";
    if (k <= n && n <= 21) {
        out += digits + std::string(static_cast<std::size_t>(n - k), '0');
    } else if (0 < n && n <= 21) {
        out += digits.substr(0, static_cast<std::size_t>(n)) + "." +
               digits.substr(static_cast<std::size_t>(n));
    } else if (-6 < n && n <= 0) {
        out += "0." + std::string(static_cast<std::size_t>(-n), '0') + digits;
    } else {
        out += digits.substr(0, 1);
        if (k > 1) out += "." + digits.substr(1);
        out += (n - 1 >= 0) ? "e+" : "e-";
        out += std::to_string(std::abs(n - 1));
    }
    return out;
}

bool VariantToText(const Variant& value, Text& out) {
    switch (value.Type()) {
        case VariantType::Empty: out = Text(); return true;
        case VariantType::Boolean: out = value.AsBoolean() ? "true" : "false"; return true;
        case VariantType::Int32: out = Text(std::to_string(value.AsInt32())); return true;
        case VariantType::Double: out = Text(FormatNumber(value.AsDouble())); return true;
        case VariantType::String: out = UnicodeToText(value.AsString()); return true;
        default: return false;
    }
}

bool VariantToNumber(const Variant& value, double& out) {
    switch (value.Type()) {
        case VariantType::Empty: out = 0; return true;
        case VariantType::Boolean: out = value.AsBoolean() ? -1 : 0; return true;
        case VariantType::Int32: out = value.AsInt32(); return true;
        case VariantType::Double: out = value.AsDouble(); return true;
        case VariantType::String: return ParseNumber(value.AsString(), out);
        default: return false;
    }
}

bool VariantToBoolean(const Variant& value, bool& out) {
    switch (value.Type()) {
        case VariantType::Empty: out = false; return true;
        case VariantType::Boolean: out = value.AsBoolean(); return true;
        case VariantType::Int32: out = value.AsInt32() != 0; return true;
        case VariantType::Double: out = value.AsDouble() != 0; return true;
        case VariantType::String: {
            const std::u16string& s = value.AsString();
            auto is = [&](std::u16string_view word) {
                if (s.size() != word.size()) return false;
                for (std::size_t i = 0; i < s.size(); ++i) {
                    char16_t c =
                        s[i] >= u'A' && s[i] <= u'Z' ? static_cast<char16_t>(s[i] + 32) : s[i];
                    if (c != word[i]) return false;
                }
                return true;
            };
            if (is(u"true")) return out = true, true;
            if (is(u"false")) return out = false, true;
            double number = 0;
            if (!ParseNumber(s, number)) return false;
            out = number != 0;
            return true;
        }
        default: return false;
    }
}

}  // namespace brenvik
