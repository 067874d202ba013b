#include "guid.h"

#include <cctype>
#include <cstdint>

namespace qv::kit {

namespace {

// FNV-1a over the seed, finished with a 64-bit mixer so that seeds differing
// in one character differ in every digit.
std::uint64_t Hash64(std::string_view seed, std::uint64_t basis) {
    std::uint64_t h = basis;
    for (unsigned char c : seed) {
        h ^= c;
        h *= 0x100000001B3ull;
    }
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    h ^= h >> 33;
    return h;
}

}  // namespace

std::string DerivedGuid(std::string_view seed) {
    unsigned char bytes[16];
    std::uint64_t hi = Hash64(seed, 0xCBF29CE484222325ull);
    std::uint64_t lo = Hash64(seed, 0x84222325CBF29CE4ull ^ hi);
    for (int i = 0; i < 8; ++i) {
        bytes[i] = (unsigned char)(hi >> (56 - 8 * i));
        bytes[8 + i] = (unsigned char)(lo >> (56 - 8 * i));
    }
    // Mark it as a name-based GUID of the RFC 4122 variant.
    bytes[6] = (unsigned char)((bytes[6] & 0x0F) | 0x50);
    bytes[8] = (unsigned char)((bytes[8] & 0x3F) | 0x80);

    static const char kHex[] = "0123456789ABCDEF";
    std::string text = "{";
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) text.push_back('-');
        text.push_back(kHex[bytes[i] >> 4]);
        text.push_back(kHex[bytes[i] & 15]);
    }
    text.push_back('}');
    return text;
}

bool IsGuidText(std::string_view text) {
    static const char kShape[] = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
    if (text.size() != sizeof kShape - 1) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (kShape[i] == 'X' ? !std::isxdigit((unsigned char)text[i]) : text[i] != kShape[i]) return false;
    }
    return true;
}

}  // namespace qv::kit
