#include "automation/objects/adodb_stream.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "automation/name_match.h"
#include "common/charset_converter.h"
#include "common/utf8.h"

namespace brenvik {
namespace {

enum Member {
    kGetType,
    kPutType,
    kOpen,
    kClose,
    kWrite,
    kRead,
    kWriteText,
    kReadText,
    kGetPosition,
    kPutPosition,
    kGetCharset,
    kPutCharset,
    kGetSize,
};

constexpr MemberInfo kMembers[] = {
    {"Type", MemberKind::PropertyGet, 0, kGetType},
    {"Type", MemberKind::PropertyPut, 1, kPutType},
    {"Open", MemberKind::Method, 5, kOpen},
    {"Close", MemberKind::Method, 0, kClose},
    {"Write", MemberKind::Method, 1, kWrite},
    {"Read", MemberKind::Method, 1, kRead},
    {"WriteText", MemberKind::Method, 2, kWriteText},
    {"ReadText", MemberKind::Method, 1, kReadText},
    {"Position", MemberKind::PropertyGet, 0, kGetPosition},
    {"Position", MemberKind::PropertyPut, 1, kPutPosition},
    {"Charset", MemberKind::PropertyGet, 0, kGetCharset},
    {"Charset", MemberKind::PropertyPut, 1, kPutCharset},
    {"Size", MemberKind::PropertyGet, 0, kGetSize},
};

constexpr int kTypeBinary = 1;
constexpr int kTypeText = 2;

// The character-set names the stream accepts, and the converter each stands for.
struct CharsetName {
    const char* name;
    const char* iconvName;
};
constexpr CharsetName kCharsets[] = {
    {"UTF-8", "UTF-8"},
    {"GBK", "CP936"},
    {"GB2312", "CP936"},
    {"CP936", "CP936"},
    {"windows-936", "CP936"},
    {"GB18030", "GB18030"},
    {"Big5", "BIG5"},
    {"Shift_JIS", "SHIFT_JIS"},
    {"EUC-KR", "EUC-KR"},
    {"us-ascii", "ASCII"},
    {"iso-8859-1", "ISO-8859-1"},
    {"windows-1252", "CP1252"},
    {"Unicode", "UTF-16LE"},
    {"UTF-16", "UTF-16LE"},
    {"UTF-16LE", "UTF-16LE"},
    {"UTF-16BE", "UTF-16BE"},
};

const CharsetName* FindCharset(std::string_view name) {
    for (const CharsetName& c : kCharsets)
        if (EqualsIgnoringCase(c.name, name)) return &c;
    return nullptr;
}

bool ToInt(const Variant& v, long long& out) {
    if (v.Type() == VariantType::Int32) return out = v.AsInt32(), true;
    if (v.Type() == VariantType::Double &&
        v.AsDouble() == static_cast<double>(static_cast<long long>(v.AsDouble())))
        return out = static_cast<long long>(v.AsDouble()), true;
    return false;
}

class AdodbStream final : public DispatchObject {
public:
    std::span<const MemberInfo> Members() const override { return kMembers; }

    bool Invoke(int id, std::span<const Variant> args, Variant& result) override {
        switch (id) {
            case kGetType: result = Variant(static_cast<std::int32_t>(type_)); return true;
            case kPutType: return PutType(args[0]);
            case kOpen:
                if (open_) return false;
                open_ = true, buffer_.clear(), position_ = 0;
                return true;
            case kClose:
                if (!open_) return false;
                open_ = false, buffer_.clear(), position_ = 0;
                return true;
            case kWrite:
                if (!open_ || type_ != kTypeBinary || args.empty() ||
                    args[0].Type() != VariantType::ByteArray)
                    return false;
                Put(args[0].AsByteArray());
                return true;
            case kRead: return Read(result);
            case kWriteText: return WriteText(args);
            case kReadText: return ReadText(result);
            case kGetPosition:
                if (!open_) return false;
                result = Variant(static_cast<std::int32_t>(position_));
                return true;
            case kPutPosition: return PutPosition(args[0]);
            case kGetCharset: result = Variant(Utf8ToUnicode(charset_->name)); return true;
            case kPutCharset: {
                if (args[0].Type() != VariantType::String) return false;
                const CharsetName* found = FindCharset(UnicodeToUtf8(args[0].AsString()));
                if (!found) return false;
                charset_ = found;
                return true;
            }
            case kGetSize:
                if (!open_) return false;
                result = Variant(static_cast<std::int32_t>(buffer_.size()));
                return true;
        }
        return false;
    }

private:
    // The type changes only at the start of the stream, as the platform's does.
    bool PutType(const Variant& v) {
        long long t = 0;
        if (!ToInt(v, t) || (t != kTypeBinary && t != kTypeText)) return false;
        if (open_ && position_ != 0) return false;
        type_ = static_cast<int>(t);
        return true;
    }

    // Any offset from 0 up is accepted; reading past the end gives nothing.
    bool PutPosition(const Variant& v) {
        long long p = 0;
        if (!open_ || !ToInt(v, p) || p < 0 || p > INT32_MAX) return false;
        position_ = static_cast<std::size_t>(p);
        return true;
    }

    // Writes at the position, overwriting and extending; a gap is zero-filled.
    template <typename Range>
    void Put(const Range& bytes) {
        if (position_ > buffer_.size()) buffer_.resize(position_, 0);
        std::size_t end = position_ + bytes.size();
        if (end > buffer_.size()) buffer_.resize(end);
        std::copy(bytes.begin(), bytes.end(),
                  buffer_.begin() + static_cast<std::ptrdiff_t>(position_));
        position_ = end;
    }

    std::string_view Rest() const {
        if (position_ >= buffer_.size()) return {};
        return std::string_view(reinterpret_cast<const char*>(buffer_.data()) + position_,
                                buffer_.size() - position_);
    }

    bool Read(Variant& result) {
        if (!open_ || type_ != kTypeBinary) return false;
        std::string_view rest = Rest();
        result = Variant(Bytes(rest.begin(), rest.end()));
        position_ = std::max(position_, buffer_.size());
        return true;
    }

    // Decodes everything from the position on. A byte-order mark at the start
    // of the text is dropped; malformed bytes decode as U+FFFD, one per byte.
    bool ReadText(Variant& result) {
        if (!open_ || type_ != kTypeText) return false;
        std::string_view rest = Rest();
        std::u16string text;
        if (!DecodeCharset(rest, charset_->iconvName, u'\uFFFD', text)) return false;
        if (!text.empty() && text.front() == u'\uFEFF') text.erase(0, 1);
        result = Variant(std::move(text));
        position_ = std::max(position_, buffer_.size());
        return true;
    }

    // Encodes the text (no byte-order mark); characters the set lacks become '?'.
    bool WriteText(std::span<const Variant> args) {
        if (!open_ || type_ != kTypeText || args.empty() || args[0].Type() != VariantType::String)
            return false;
        std::string encoded;
        if (!EncodeCharset(args[0].AsString(), charset_->iconvName, '?', encoded)) return false;
        Put(std::string_view(encoded));
        return true;
    }

    bool open_ = false;
    int type_ = kTypeText;
    const CharsetName* charset_ = FindCharset("Unicode");
    std::size_t position_ = 0;
    Bytes buffer_;
};

}  // namespace

std::shared_ptr<DispatchObject> MakeAdodbStream() { return std::make_shared<AdodbStream>(); }

}  // namespace brenvik
