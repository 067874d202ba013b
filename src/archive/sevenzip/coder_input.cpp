#include "archive/sevenzip/coder_input.h"

#include <cstring>

#include "archive/sevenzip/archive_error.h"

namespace qv::sevenzip {
namespace {

[[noreturn]] void ThrowTruncated() {
    throw ArchiveError(ArchiveErrorKind::DataError, "The packed data ends unexpectedly");
}

}  // namespace

CoderInput::CoderInput(InStream& source, std::size_t bufferSize)
    : source_(source), buffer_(bufferSize + kLookahead), capacity_(bufferSize) {
    pos_ = end_ = safe_ = buffer_.data();
    pos_ = Refill(pos_);
}

const std::uint8_t* CoderInput::Refill(const std::uint8_t* pos) {
    CheckNotOverrun(pos);
    std::uint8_t* const begin = buffer_.data();
    const std::size_t kept = static_cast<std::size_t>(end_ - pos);
    std::memmove(begin, pos, kept);
    base_ += static_cast<std::uint64_t>(pos - begin);
    std::size_t filled = kept;
    while (!sourceEnded_ && filled < capacity_) {
        const std::size_t got = source_.Read(begin + filled, capacity_ - filled);
        if (got == 0) sourceEnded_ = true;
        filled += got;
        if (filled >= kLookahead) break;
    }
    end_ = begin + filled;
    if (sourceEnded_) {
        std::memset(begin + filled, 0, kLookahead);
        safe_ = end_;
    } else {
        safe_ = end_ - kLookahead;
    }
    return begin;
}

void CoderInput::CheckNotOverrun(const std::uint8_t* pos) const {
    if (pos > end_) ThrowTruncated();
}

std::uint8_t CoderInput::ReadByte() {
    if (pos_ >= end_) {
        pos_ = Refill(pos_);
        if (pos_ >= end_) ThrowTruncated();
    }
    return *pos_++;
}

void CoderInput::ReadExact(std::uint8_t* dst, std::size_t size) {
    while (size > 0) {
        if (pos_ >= end_) {
            pos_ = Refill(pos_);
            if (pos_ >= end_) ThrowTruncated();
        }
        const std::size_t n = std::min(size, static_cast<std::size_t>(end_ - pos_));
        std::memcpy(dst, pos_, n);
        pos_ += n;
        dst += n;
        size -= n;
    }
}

}  // namespace qv::sevenzip
