#include "archive/sevenzip/header_cursor.h"

#include "archive/sevenzip/archive_error.h"

namespace qv::sevenzip {

void HeaderCursor::Need(std::size_t size) const {
    if (size > Remaining()) ThrowDamaged("the header ends unexpectedly");
}

std::uint8_t HeaderCursor::ReadByte() {
    Need(1);
    return *p_++;
}

std::uint32_t HeaderCursor::ReadUInt32() {
    const std::uint8_t* b = ReadBytes(4);
    return std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 | std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24;
}

std::uint64_t HeaderCursor::ReadUInt64() {
    const std::uint64_t lo = ReadUInt32();
    const std::uint64_t hi = ReadUInt32();
    return lo | hi << 32;
}

std::uint64_t HeaderCursor::ReadNumber() {
    const std::uint8_t first = ReadByte();
    std::uint64_t value = 0;
    std::uint8_t mask = 0x80;
    for (int i = 0; i < 8; ++i) {
        if ((first & mask) == 0) {
            const std::uint64_t high = first & (mask - 1u);
            return value | (high << (8 * i));
        }
        value |= std::uint64_t(ReadByte()) << (8 * i);
        mask >>= 1;
    }
    return value;
}

std::size_t HeaderCursor::ReadCount(const char* what) {
    const std::uint64_t n = ReadNumber();
    if (n > Remaining()) ThrowDamaged(std::string("impossible number of ") + what);
    return static_cast<std::size_t>(n);
}

std::uint32_t HeaderCursor::ReadSmall(std::uint32_t limit, const char* what) {
    const std::uint64_t n = ReadNumber();
    if (n > limit) ThrowDamaged(std::string("impossible ") + what);
    return static_cast<std::uint32_t>(n);
}

const std::uint8_t* HeaderCursor::ReadBytes(std::size_t size) {
    Need(size);
    const std::uint8_t* at = p_;
    p_ += size;
    return at;
}

HeaderCursor HeaderCursor::Sub(std::size_t size) {
    const std::uint8_t* at = ReadBytes(size);
    return HeaderCursor(at, size);
}

std::vector<bool> HeaderCursor::ReadBits(std::size_t count) {
    const std::uint8_t* bytes = ReadBytes((count + 7) / 8);
    std::vector<bool> bits(count);
    for (std::size_t i = 0; i < count; ++i) bits[i] = (bytes[i / 8] >> (7 - i % 8)) & 1;
    return bits;
}

std::vector<bool> HeaderCursor::ReadOptionalBits(std::size_t count) {
    if (ReadByte() != 0) return std::vector<bool>(count, true);
    return ReadBits(count);
}

}  // namespace qv::sevenzip
