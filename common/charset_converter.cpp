#include "common/charset_converter.h"

#include <errno.h>
#include <iconv.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace brenvik {
namespace {

constexpr const char* kUnicodeName =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// Opening a converter costs far more than a short conversion, so each thread
// keeps the ones it has opened.
class ConverterCache {
public:
    ~ConverterCache() {
        for (Entry& e : entries_) iconv_close(e.cd);
    }

    // Returns a converter reset to its initial state, or nullptr for an unknown name.
    iconv_t Get(const char* to, const char* from) {
        for (Entry& e : entries_) {
            if (e.to == to && e.from == from) {
                iconv(e.cd, nullptr, nullptr, nullptr, nullptr);
                return e.cd;
            }
        }
        iconv_t cd = iconv_open(to, from);
        if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
        entries_.push_back({to, from, cd});
        return cd;
    }

private:
    struct Entry {
        std::string to;
        std::string from;
        iconv_t cd;
    };
    std::vector<Entry> entries_;
};

ConverterCache& Cache() {
    thread_local ConverterCache cache;
    return cache;
}

// Runs `cd` over the input, appending to `out`. On a sequence iconv rejects,
// appends `replacement` (its bytes) and skips `unit` input bytes, or two units
// when `pairs` says the rejected unit starts a surrogate pair.
template <typename IsPairStart>
void Convert(iconv_t cd, const char* in, std::size_t inLeft, std::string_view replacement,
             std::size_t unit, IsPairStart pairs, std::string& out) {
    char buffer[4096];
    while (inLeft > 0) {
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        char* inPtr = const_cast<char*>(in);
        std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        int error = errno;
        out.append(buffer, sizeof buffer - outLeft);
        in = inPtr;
        if (rc != static_cast<std::size_t>(-1)) break;
        if (error == E2BIG) continue;
        // EILSEQ: a bad or unmappable sequence; EINVAL: one cut short at the end.
        out.append(replacement);
        if (error == EINVAL) break;
        std::size_t skip = (error == EILSEQ && pairs(in, inLeft)) ? 2 * unit : unit;
        if (skip > inLeft) skip = inLeft;
        in += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &outPtr, &outLeft);
    out.append(buffer, sizeof buffer - outLeft);
}

}  // namespace

// Encodings in which every byte below 0x80 is that ASCII character whenever it
// does not follow a byte of 0x80 or above. Their ASCII stretches need no converter.
bool IsAsciiCompatible(const char* charset) {
    static constexpr const char* kNames[] = {"UTF-8", "CP936",      "GBK",    "GB18030", "BIG5",
                                             "EUC-KR", "ISO-8859-1", "CP1252", "ASCII"};
    for (const char* name : kNames)
        if (std::strcmp(name, charset) == 0) return true;
    return false;
}

bool DecodeCharset(std::string_view bytes, const char* charset, char16_t replacement,
                   std::u16string& out) {
    out.clear();
    iconv_t cd = Cache().Get(kUnicodeName, charset);
    if (!cd) return false;
    std::string_view rep(reinterpret_cast<const char*>(&replacement), sizeof replacement);
    auto noPairs = [](const char*, std::size_t) { return false; };
    auto decode = [&](std::string_view part) {
        std::string units;
        Convert(cd, part.data(), part.size(), rep, 1, noPairs, units);
        const std::size_t at = out.size();
        out.resize(at + units.size() / sizeof(char16_t));
        std::memcpy(out.data() + at, units.data(), units.size() / sizeof(char16_t) * sizeof(char16_t));
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    };
    if (!IsAsciiCompatible(charset)) {
        decode(bytes);
        return true;
    }
    auto high = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]) >= 0x80; };
    std::size_t i = 0;
    while (i < bytes.size()) {
        for (; i < bytes.size() && !high(i); ++i) out += static_cast<char16_t>(bytes[i]);
        // A byte of 0x80 or above goes to the converter together with the byte
        // after it, so that no character is ever split.
        const std::size_t start = i;
        while (i < bytes.size() && high(i)) i += 2;
        i = std::min(i, bytes.size());
        if (i > start) decode(bytes.substr(start, i - start));
    }
    return true;
}

bool EncodeCharset(std::u16string_view text, const char* charset, char replacement,
                   std::string& out) {
    out.clear();
    iconv_t cd = Cache().Get(charset, kUnicodeName);
    if (!cd) return false;
    auto pairStart = [](const char* p, std::size_t left) {
        if (left < 2 * sizeof(char16_t)) return false;
        char16_t first;
        char16_t second;
        std::memcpy(&first, p, sizeof first);
        std::memcpy(&second, p + sizeof first, sizeof second);
        return first >= 0xD800 && first <= 0xDBFF && second >= 0xDC00 && second <= 0xDFFF;
    };
    auto encode = [&](std::u16string_view part) {
        std::string bytes;
        Convert(cd, reinterpret_cast<const char*>(part.data()), part.size() * sizeof(char16_t),
                std::string_view(&replacement, 1), sizeof(char16_t), pairStart, bytes);
        out += bytes;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    };
    if (!IsAsciiCompatible(charset)) {
        encode(text);
        return true;
    }
    std::size_t i = 0;
    while (i < text.size()) {
        for (; i < text.size() && text[i] < 0x80; ++i) out += static_cast<char>(text[i]);
        const std::size_t start = i;
        while (i < text.size() && text[i] >= 0x80) ++i;
        if (i > start) encode(text.substr(start, i - start));
    }
    return true;
}

bool IsKnownCharset(const char* charset) { return Cache().Get(kUnicodeName, charset) != nullptr; }

}  // namespace brenvik
