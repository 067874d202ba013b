#include "archive/sevenzip/branch_filters.h"

namespace qv::sevenzip {
namespace {

inline std::uint32_t LoadLe32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

inline void StoreLe32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

inline std::uint32_t LoadBe32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | std::uint32_t(p[3]);
}

inline void StoreBe32(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

// A displacement's top byte is 00 or FF when the target is near: only those
// were converted.
inline bool IsNearTopByte(std::uint8_t b) { return b == 0x00 || b == 0xFF; }

// The x86 converter remembers which of the three bytes before the current
// opcode were E8/E9 opcodes themselves, as a bit mask (bit 0 = one byte
// back). An opcode among them may have its displacement overlapping this
// one; the tables say which masks still allow a conversion and which byte
// of the displacement the earlier opcode would have made its top byte.
constexpr bool kMaskAllowsConversion[8] = {true, true, true, false, true, false, false, false};
constexpr unsigned kMaskOverlapByte[8] = {0, 1, 2, 2, 3, 3, 3, 3};

}  // namespace

std::size_t ConvertX86(std::uint8_t* data, std::size_t size, std::uint32_t ip, std::uint32_t& state) {
    if (size < 5) return 0;
    const std::size_t limit = size - 4;
    unsigned mask = state & 7;
    // Position of the last opcode seen; "one before this buffer" to start
    // with, where the state's mask is anchored.
    std::size_t last = static_cast<std::size_t>(0) - 1;
    std::size_t pos = 0;
    for (;;) {
        while (pos < limit && (data[pos] & 0xFE) != 0xE8) ++pos;
        if (pos >= limit) break;
        const std::size_t gap = pos - last;
        if (gap > 3) {
            mask = 0;
        } else {
            mask = (mask << (gap - 1)) & 7;
            if (mask != 0 && (!kMaskAllowsConversion[mask] || IsNearTopByte(data[pos + 4 - kMaskOverlapByte[mask]]))) {
                last = pos;
                mask = ((mask << 1) & 7) | 1;
                ++pos;
                continue;
            }
        }
        last = pos;
        if (!IsNearTopByte(data[pos + 4])) {
            mask = ((mask << 1) & 7) | 1;
            ++pos;
            continue;
        }
        // The stored value is absolute; relative to the next instruction it
        // is smaller by that instruction's position. Where an overlapping
        // earlier opcode's byte would turn near, the encoder converted again.
        std::uint32_t src = LoadLe32(data + pos + 1);
        std::uint32_t dest;
        for (;;) {
            dest = src - (ip + 5 + static_cast<std::uint32_t>(pos));
            if (mask == 0) break;
            const unsigned shift = kMaskOverlapByte[mask] * 8;
            if (!IsNearTopByte(static_cast<std::uint8_t>(dest >> (24 - shift)))) break;
            src = dest ^ ((1u << (32 - shift)) - 1);
        }
        // Bit 24 decides the top byte, so that it stays 00 or FF.
        dest = (dest & 0x00FFFFFF) | ((dest & 0x01000000) != 0 ? 0xFF000000u : 0);
        StoreLe32(data + pos + 1, dest);
        pos += 5;
    }
    const std::size_t gap = pos - last;
    state = gap > 3 ? 0 : ((mask << (gap - 1)) & 7);
    return pos;
}

// Branch with link: opcode 18 in the top six bits, AA = 0 and LK = 1 in the
// low two; a 24-bit word displacement between them.
std::size_t ConvertPowerPc(std::uint8_t* data, std::size_t size, std::uint32_t ip) {
    std::size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        const std::uint32_t word = LoadBe32(data + i);
        if ((word & 0xFC000003) != 0x48000001) continue;
        const std::uint32_t dest = (word & 0x03FFFFFC) - (ip + static_cast<std::uint32_t>(i));
        StoreBe32(data + i, 0x48000000 | (dest & 0x03FFFFFF) | (word & 3));
    }
    return i;
}

// Bundles of 16 bytes: a 5-bit template and three 41-bit slots. The
// template tells which slots may hold a branch (IP-relative, opcode 5,
// type field 0); its 21-bit bundle displacement is split over the slot.
std::size_t ConvertIa64(std::uint8_t* data, std::size_t size, std::uint32_t ip) {
    static constexpr std::uint8_t kBranchSlots[32] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                      4, 4, 6, 6, 0, 0, 7, 7, 4, 4, 0, 0, 4, 4, 0, 0};
    std::size_t i = 0;
    for (; i + 16 <= size; i += 16) {
        const unsigned slots = kBranchSlots[data[i] & 0x1F];
        for (unsigned slot = 0; slot < 3; ++slot) {
            if (((slots >> slot) & 1) == 0) continue;
            const unsigned bitPos = 5 + 41 * slot;
            std::uint8_t* const p = data + i + bitPos / 8;
            const unsigned shift = bitPos % 8;
            std::uint64_t raw = 0;
            for (int j = 0; j < 6; ++j) raw |= std::uint64_t(p[j]) << (8 * j);
            std::uint64_t instruction = raw >> shift;
            if (((instruction >> 37) & 0xF) != 0x5 || ((instruction >> 9) & 0x7) != 0) continue;
            std::uint32_t src = static_cast<std::uint32_t>((instruction >> 13) & 0xFFFFF);
            src |= static_cast<std::uint32_t>((instruction >> 36) & 1) << 20;
            const std::uint32_t dest = ((src << 4) - (ip + static_cast<std::uint32_t>(i))) >> 4;
            instruction &= ~(std::uint64_t(0x8FFFFF) << 13);
            instruction |= std::uint64_t(dest & 0xFFFFF) << 13;
            instruction |= std::uint64_t(dest & 0x100000) << (36 - 20);
            raw = (raw & ((std::uint64_t(1) << shift) - 1)) | (instruction << shift);
            for (int j = 0; j < 6; ++j) p[j] = static_cast<std::uint8_t>(raw >> (8 * j));
        }
    }
    return i;
}

// BL: condition "always" and opcode 1011 in the top byte, a 24-bit word
// displacement from the instruction's address + 8.
std::size_t ConvertArm(std::uint8_t* data, std::size_t size, std::uint32_t ip) {
    std::size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        if (data[i + 3] != 0xEB) continue;
        const std::uint32_t src = (LoadLe32(data + i) & 0x00FFFFFF) << 2;
        const std::uint32_t dest = (src - (ip + static_cast<std::uint32_t>(i) + 8)) >> 2;
        StoreLe32(data + i, 0xEB000000 | (dest & 0x00FFFFFF));
    }
    return i;
}

// Thumb BL: two 16-bit halves (11110 and 11111 prefixes) carrying the high
// and low 11 bits of a halfword displacement from the address + 4.
std::size_t ConvertArmThumb(std::uint8_t* data, std::size_t size, std::uint32_t ip) {
    std::size_t i = 0;
    for (; i + 4 <= size; i += 2) {
        if ((data[i + 1] & 0xF8) != 0xF0 || (data[i + 3] & 0xF8) != 0xF8) continue;
        const std::uint32_t src = ((std::uint32_t(data[i + 1] & 7) << 19) | (std::uint32_t(data[i]) << 11) |
                                   (std::uint32_t(data[i + 3] & 7) << 8) | data[i + 2])
                                  << 1;
        const std::uint32_t dest = (src - (ip + static_cast<std::uint32_t>(i) + 4)) >> 1;
        data[i + 1] = static_cast<std::uint8_t>(0xF0 | ((dest >> 19) & 7));
        data[i] = static_cast<std::uint8_t>(dest >> 11);
        data[i + 3] = static_cast<std::uint8_t>(0xF8 | ((dest >> 8) & 7));
        data[i + 2] = static_cast<std::uint8_t>(dest);
        i += 2;
    }
    return i;
}

// CALL: op 01 and a 30-bit word displacement, of which only those that
// fit in 23 bits (sign included) were converted.
std::size_t ConvertSparc(std::uint8_t* data, std::size_t size, std::uint32_t ip) {
    std::size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        if (!((data[i] == 0x40 && (data[i + 1] & 0xC0) == 0x00) || (data[i] == 0x7F && (data[i + 1] & 0xC0) == 0xC0)))
            continue;
        const std::uint32_t src = LoadBe32(data + i) << 2;
        std::uint32_t dest = (src - (ip + static_cast<std::uint32_t>(i))) >> 2;
        const std::uint32_t sign = (dest >> 22) & 1;
        dest = (((0u - sign) << 22) & 0x3FFFFFFF) | (dest & 0x3FFFFF) | 0x40000000;
        StoreBe32(data + i, dest);
    }
    return i;
}

// BL (26-bit word displacement) and ADRP (21-bit page displacement, of
// which only those within +-512 MiB were converted).
std::size_t ConvertArm64(std::uint8_t* data, std::size_t size, std::uint32_t ip) {
    std::size_t i = 0;
    for (; i + 4 <= size; i += 4) {
        std::uint32_t instruction = LoadLe32(data + i);
        const std::uint32_t pc = ip + static_cast<std::uint32_t>(i);
        if ((instruction >> 26) == 0x25) {
            instruction = 0x94000000 | ((instruction - (pc >> 2)) & 0x03FFFFFF);
            StoreLe32(data + i, instruction);
        } else if ((instruction & 0x9F000000) == 0x90000000) {
            const std::uint32_t src = ((instruction >> 29) & 3) | ((instruction >> 3) & 0x001FFFFC);
            if (((src + 0x00020000) & 0x001C0000) != 0) continue;
            const std::uint32_t dest = src - (pc >> 12);
            instruction &= 0x9000001F;
            instruction |= (dest & 3) << 29;
            instruction |= (dest & 0x0003FFFC) << 3;
            instruction |= (0u - (dest & 0x00020000)) & 0x00E00000;
            StoreLe32(data + i, instruction);
        }
    }
    return i;
}

}  // namespace qv::sevenzip
