// Buffered input of a decoder. The range decoder reads bytes through a raw
// pointer without a bound check per byte: the buffer always holds kLookahead
// readable bytes past any position up to SafeLimit(), padded with zeros once
// the source has ended, and reading into that padding is detected afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "archive/sevenzip/streams.h"

namespace qv::sevenzip {

class CoderInput {
public:
    // The most bytes one LZMA symbol consumes (a match with a full distance
    // takes 48 bits, each at most one byte) with room to spare.
    static constexpr std::size_t kLookahead = 64;

    explicit CoderInput(InStream& source, std::size_t bufferSize = 1 << 16);

    const std::uint8_t* Position() const { return pos_; }
    void SetPosition(const std::uint8_t* pos) { pos_ = pos; }
    const std::uint8_t* SafeLimit() const { return safe_; }
    // Moves the unread bytes from pos to the front and reads more; returns the
    // new position of pos. Throws when pos is past the end of the data.
    const std::uint8_t* Refill(const std::uint8_t* pos);
    // Throws when decoding has read beyond the end of the data.
    void CheckNotOverrun(const std::uint8_t* pos) const;

    std::uint8_t ReadByte();
    void ReadExact(std::uint8_t* dst, std::size_t size);
    // Bytes consumed since construction, at pos.
    std::uint64_t Offset(const std::uint8_t* pos) const { return base_ + static_cast<std::uint64_t>(pos - buffer_.data()); }

private:
    InStream& source_;
    std::vector<std::uint8_t> buffer_;
    std::size_t capacity_;
    const std::uint8_t* pos_;
    const std::uint8_t* end_;   // end of real data in the buffer
    const std::uint8_t* safe_;  // positions up to here have kLookahead bytes after them
    std::uint64_t base_ = 0;    // source offset of buffer_[0]
    bool sourceEnded_ = false;
};

}  // namespace qv::sevenzip
