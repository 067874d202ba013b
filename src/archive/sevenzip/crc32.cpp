#include "archive/sevenzip/crc32.h"

#include <array>

namespace qv::sevenzip {
namespace {

// Eight tables let the loop fold eight bytes per step ("slicing by eight").
using CrcTables = std::array<std::array<std::uint32_t, 256>, 8>;

CrcTables MakeTables() {
    CrcTables t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        t[0][i] = c;
    }
    for (std::uint32_t i = 0; i < 256; ++i)
        for (int s = 1; s < 8; ++s) t[s][i] = (t[s - 1][i] >> 8) ^ t[0][t[s - 1][i] & 0xFF];
    return t;
}

const CrcTables& Tables() {
    static const CrcTables tables = MakeTables();
    return tables;
}

std::uint32_t Load32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

}  // namespace

std::uint32_t UpdateCrc32(std::uint32_t crc, const std::uint8_t* data, std::size_t size) {
    const CrcTables& t = Tables();
    std::uint32_t c = ~crc;
    while (size >= 8) {
        const std::uint32_t lo = Load32(data) ^ c;
        const std::uint32_t hi = Load32(data + 4);
        c = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
            t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
        data += 8;
        size -= 8;
    }
    while (size--) c = (c >> 8) ^ t[0][(c ^ *data++) & 0xFF];
    return ~c;
}

}  // namespace qv::sevenzip
