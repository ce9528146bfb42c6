#include "service/alias_generator.h"

#include <sys/random.h>

#include <array>
#include <cerrno>
#include <string_view>

namespace brenvik {

namespace {

constexpr std::string_view kAlphabet =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
// The largest multiple of 62 that fits in a byte: bytes at or above it are drawn again.
constexpr unsigned kUnbiasedLimit = 256 - 256 % kAlphabet.size();

bool FillRandom(unsigned char* buffer, std::size_t size) {
    std::size_t filled = 0;
    while (filled < size) {
        const ssize_t got = getrandom(buffer + filled, size - filled, 0);
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        filled += static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace

std::string GenerateAlias() {
    std::string alias;
    std::array<unsigned char, 16> pool{};
    while (alias.size() < kGeneratedAliasLength) {
        if (!FillRandom(pool.data(), pool.size())) return {};
        for (const unsigned char byte : pool) {
            if (byte >= kUnbiasedLimit) continue;
            alias.push_back(kAlphabet[byte % kAlphabet.size()]);
            if (alias.size() == kGeneratedAliasLength) break;
        }
    }
    return alias;
}

}  // namespace brenvik
