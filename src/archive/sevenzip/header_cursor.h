// Reads the fields of a 7z header held in memory. Every read is checked
// against the end, so a damaged header ends in an error, never past its bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qv::sevenzip {

class HeaderCursor {
public:
    HeaderCursor(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}

    std::size_t Remaining() const { return static_cast<std::size_t>(end_ - p_); }

    std::uint8_t ReadByte();
    std::uint32_t ReadUInt32();
    std::uint64_t ReadUInt64();
    // The format's variable-length number: the count of leading one bits of
    // the first byte is the number of bytes that follow.
    std::uint64_t ReadNumber();
    // A number that counts items each taking at least one further byte of
    // this header, so it can never be larger than what is left.
    std::size_t ReadCount(const char* what);
    // A number used as an index or small quantity, at most limit.
    std::uint32_t ReadSmall(std::uint32_t limit, const char* what);
    const std::uint8_t* ReadBytes(std::size_t size);
    // A cursor over the next size bytes (a property's payload); this cursor
    // moves past them.
    HeaderCursor Sub(std::size_t size);
    void Skip(std::size_t size) { ReadBytes(size); }

    // A vector of count bits, most significant bit of each byte first.
    std::vector<bool> ReadBits(std::size_t count);
    // A leading "all defined" byte, then either nothing or a bit vector.
    std::vector<bool> ReadOptionalBits(std::size_t count);

private:
    void Need(std::size_t size) const;

    const std::uint8_t* p_;
    const std::uint8_t* end_;
};

}  // namespace qv::sevenzip
