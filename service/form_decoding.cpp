#include "service/form_decoding.h"

#include "service/utf8_validation.h"

namespace brenvik {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::string> PercentDecode(std::string_view encoded, PlusSign plus) {
    std::string out;
    out.reserve(encoded.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '%') {
            if (encoded.size() - i < 3) return std::nullopt;
            const int high = HexValue(encoded[i + 1]);
            const int low = HexValue(encoded[i + 2]);
            if (high < 0 || low < 0) return std::nullopt;
            out.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        } else if (c == '+' && plus == PlusSign::Space) {
            out.push_back(' ');
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string_view FormFields::Value(std::string_view name) const {
    for (const auto& [fieldName, value] : fields) {
        if (fieldName == name) return value;
    }
    return {};
}

FormFields ParseForm(std::string_view body) {
    FormFields form;
    std::size_t start = 0;
    while (start <= body.size()) {
        std::size_t end = body.find('&', start);
        if (end == std::string_view::npos) end = body.size();
        const std::string_view piece = body.substr(start, end - start);
        start = end + 1;
        if (piece.empty()) continue;

        const std::size_t equals = piece.find('=');
        auto name = PercentDecode(piece.substr(0, equals), PlusSign::Space);
        auto value = PercentDecode(
            equals == std::string_view::npos ? std::string_view{} : piece.substr(equals + 1),
            PlusSign::Space);
        if (!name || !value) {
            form.error = FormError::MalformedEscape;
            return form;
        }
        if (!IsValidUtf8(*name) || !IsValidUtf8(*value)) {
            form.error = FormError::NotUtf8;
            return form;
        }
        for (const auto& field : form.fields) {
            if (field.first == *name) {
                form.error = FormError::DuplicateField;
                return form;
            }
        }
        form.fields.emplace_back(std::move(*name), std::move(*value));
    }
    return form;
}

}  // namespace brenvik
