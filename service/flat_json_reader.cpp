#include "service/flat_json_reader.h"

#include <limits>

#include "service/utf8_validation.h"

namespace brenvik {

namespace {

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::optional<FlatJsonObject> ReadObject() {
        FlatJsonObject object;
        SkipSpace();
        if (!Take('{')) return std::nullopt;
        SkipSpace();
        if (!Take('}')) {
            while (true) {
                SkipSpace();
                auto name = ReadString();
                if (!name) return std::nullopt;
                SkipSpace();
                if (!Take(':')) return std::nullopt;
                SkipSpace();
                FlatJsonValue value;
                if (!ReadValue(value)) return std::nullopt;
                if (!object.emplace(std::move(*name), std::move(value)).second) {
                    return std::nullopt;
                }
                SkipSpace();
                if (Take('}')) break;
                if (!Take(',')) return std::nullopt;
            }
        }
        SkipSpace();
        if (pos_ != text_.size()) return std::nullopt;
        return object;
    }

private:
    bool Take(char c) {
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    bool TakeWord(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }

    void SkipSpace() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                       text_[pos_] == '\n' || text_[pos_] == '\r')) {
            ++pos_;
        }
    }

    // Fills `value` in place (an optional variant trips GCC 12's uninitialised-use
    // analysis under the sanitizers).
    bool ReadValue(FlatJsonValue& value) {
        if (pos_ >= text_.size()) return false;
        const char c = text_[pos_];
        if (c == '"') {
            auto text = ReadString();
            if (!text) return false;
            value.emplace<std::string>(std::move(*text));
            return true;
        }
        if (TakeWord("true")) {
            value = true;
        } else if (TakeWord("false")) {
            value = false;
        } else if (TakeWord("null")) {
            value = nullptr;
        } else if (c == '-' || (c >= '0' && c <= '9')) {
            auto number = ReadInteger();
            if (!number) return false;
            value = *number;
        } else {
            return false;
        }
        return true;
    }

    std::optional<std::int64_t> ReadInteger() {
        const bool negative = Take('-');
        const std::size_t digitsStart = pos_;
        // Accumulated as a negative number so that the smallest int64 fits.
        std::int64_t value = 0;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            const int digit = text_[pos_] - '0';
            if (value < (std::numeric_limits<std::int64_t>::min() + digit) / 10) {
                return std::nullopt;
            }
            value = value * 10 - digit;
            ++pos_;
        }
        const std::size_t digits = pos_ - digitsStart;
        if (digits == 0 || (digits > 1 && text_[digitsStart] == '0')) return std::nullopt;
        if (pos_ < text_.size() &&
            (text_[pos_] == '.' || text_[pos_] == 'e' || text_[pos_] == 'E')) {
            return std::nullopt;
        }
        if (negative) return value;
        if (value == std::numeric_limits<std::int64_t>::min()) return std::nullopt;
        return -value;
    }

    std::optional<unsigned> ReadHex4() {
        if (text_.size() - pos_ < 4) return std::nullopt;
        unsigned value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = text_[pos_++];
            value <<= 4;
            if (c >= '0' && c <= '9') {
                value |= static_cast<unsigned>(c - '0');
            } else if (c >= 'a' && c <= 'f') {
                value |= static_cast<unsigned>(c - 'a' + 10);
            } else if (c >= 'A' && c <= 'F') {
                value |= static_cast<unsigned>(c - 'A' + 10);
            } else {
                return std::nullopt;
            }
        }
        return value;
    }

    std::optional<char32_t> ReadEscape() {
        if (pos_ >= text_.size()) return std::nullopt;
        switch (text_[pos_++]) {
            case '"': return U'"';
            case '\\': return U'\\';
            case '/': return U'/';
            case 'b': return U'\b';
            case 'f': return U'\f';
            case 'n': return U'\n';
            case 'r': return U'\r';
            case 't': return U'\t';
            case 'u': break;
            default: return std::nullopt;
        }
        const auto first = ReadHex4();
        if (!first) return std::nullopt;
        if (*first >= 0xDC00 && *first <= 0xDFFF) return std::nullopt;
        if (*first < 0xD800 || *first > 0xDBFF) return static_cast<char32_t>(*first);
        if (!TakeWord("\\u")) return std::nullopt;
        const auto second = ReadHex4();
        if (!second || *second < 0xDC00 || *second > 0xDFFF) return std::nullopt;
        return static_cast<char32_t>(0x10000 + ((*first - 0xD800) << 10) + (*second - 0xDC00));
    }

    std::optional<std::string> ReadString() {
        if (!Take('"')) return std::nullopt;
        std::string out;
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '"') {
                ++pos_;
                return out;
            }
            if (c == '\\') {
                ++pos_;
                const auto codePoint = ReadEscape();
                if (!codePoint) return std::nullopt;
                AppendUtf8(out, *codePoint);
                continue;
            }
            if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
            const std::size_t start = pos_;
            if (!NextCodePoint(text_, pos_)) return std::nullopt;
            out.append(text_.substr(start, pos_ - start));
        }
        return std::nullopt;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

std::optional<FlatJsonObject> ReadFlatJsonObject(std::string_view text) {
    return Reader(text).ReadObject();
}

}  // namespace brenvik
