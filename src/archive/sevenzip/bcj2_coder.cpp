#include "archive/sevenzip/bcj2_coder.h"

#include <algorithm>
#include <cstring>

#include "archive/sevenzip/archive_error.h"

namespace qv::sevenzip {
namespace {

[[noreturn]] void ThrowEndsEarly() {
    throw ArchiveError(ArchiveErrorKind::DataError, "The packed data ends unexpectedly");
}

// Buffered bytes of one input; running out of them is damage.
class ByteInput {
public:
    ByteInput(std::unique_ptr<InStream> stream, std::size_t bufferSize)
        : stream_(std::move(stream)), buffer_(bufferSize) {}

    bool Empty() const { return pos_ == end_; }
    const std::uint8_t* Data() const { return buffer_.data() + pos_; }
    std::size_t Available() const { return end_ - pos_; }
    void Skip(std::size_t n) { pos_ += n; }

    void Refill() {
        pos_ = 0;
        end_ = stream_->Read(buffer_.data(), buffer_.size());
        if (end_ == 0) ThrowEndsEarly();
    }

    std::uint8_t ReadByte() {
        if (Empty()) Refill();
        return buffer_[pos_++];
    }

    std::uint32_t ReadBigEndian32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) v = v << 8 | ReadByte();
        return v;
    }

private:
    std::unique_ptr<InStream> stream_;
    std::vector<std::uint8_t> buffer_;
    std::size_t pos_ = 0, end_ = 0;
};

inline bool IsBranchOpcode(std::uint8_t previous, std::uint8_t b) {
    return (b & 0xFE) == 0xE8 || (previous == 0x0F && (b & 0xF0) == 0x80);
}

class Bcj2Stream : public InStream {
public:
    Bcj2Stream(CoderInputs& inputs, std::uint64_t outSize)
        : main_(std::move(inputs[0]), 1 << 16),
          calls_(std::move(inputs[1]), 1 << 12),
          jumps_(std::move(inputs[2]), 1 << 12),
          rc_(std::move(inputs[3]), 1 << 12),
          remaining_(outSize) {
        std::fill(std::begin(probs_), std::end(probs_), kProbInit);
    }

    std::size_t Read(std::uint8_t* dst, std::size_t size) override {
        std::size_t n = 0;
        while (n < size && remaining_ != 0) {
            if (pendingSize_ != 0) {
                const std::size_t k = static_cast<std::size_t>(std::min<std::uint64_t>({size - n, pendingSize_, remaining_}));
                std::memcpy(dst + n, pending_ + (4 - pendingSize_), k);
                pendingSize_ -= k;
                n += k;
                Produced(k);
                continue;
            }
            if (main_.Empty()) main_.Refill();
            // Plain bytes up to and including the next opcode.
            const std::uint8_t* in = main_.Data();
            const std::size_t run = static_cast<std::size_t>(std::min<std::uint64_t>({main_.Available(), size - n, remaining_}));
            std::size_t i = 0;
            bool found = false;
            std::uint8_t previous = previous_;
            while (i < run) {
                const std::uint8_t b = in[i++];
                if (IsBranchOpcode(previous, b)) {
                    found = true;
                    break;
                }
                previous = b;
            }
            std::memcpy(dst + n, in, i);
            main_.Skip(i);
            n += i;
            Produced(i);
            previous_ = previous;
            if (!found) continue;
            const std::uint8_t opcode = dst[n - 1];
            // An opcode as the very last byte has no bit.
            if (remaining_ == 0) break;
            std::uint16_t& prob = opcode == 0xE8 ? probs_[previous] : probs_[opcode == 0xE9 ? 256 : 257];
            if (DecodeBit(prob) == 0) {
                previous_ = opcode;
                continue;
            }
            const std::uint32_t absolute = (opcode == 0xE8 ? calls_ : jumps_).ReadBigEndian32();
            const std::uint32_t relative = absolute - (static_cast<std::uint32_t>(position_) + 4);
            for (int k = 0; k < 4; ++k) pending_[k] = static_cast<std::uint8_t>(relative >> (8 * k));
            pendingSize_ = 4;
            previous_ = static_cast<std::uint8_t>(relative >> 24);
        }
        return n;
    }

private:
    static constexpr std::uint16_t kProbInit = 1024;
    static constexpr unsigned kModelBits = 11;
    static constexpr unsigned kMoveBits = 5;

    void Produced(std::size_t n) {
        remaining_ -= n;
        position_ += n;
    }

    unsigned DecodeBit(std::uint16_t& prob) {
        if (!rcStarted_) {
            for (int i = 0; i < 5; ++i) code_ = code_ << 8 | rc_.ReadByte();
            rcStarted_ = true;
        }
        if (range_ < (1u << 24)) {
            range_ <<= 8;
            code_ = code_ << 8 | rc_.ReadByte();
        }
        const std::uint32_t bound = (range_ >> kModelBits) * prob;
        if (code_ < bound) {
            range_ = bound;
            prob = static_cast<std::uint16_t>(prob + (((1u << kModelBits) - prob) >> kMoveBits));
            return 0;
        }
        range_ -= bound;
        code_ -= bound;
        prob = static_cast<std::uint16_t>(prob - (prob >> kMoveBits));
        return 1;
    }

    ByteInput main_, calls_, jumps_, rc_;
    std::uint64_t remaining_;
    std::uint64_t position_ = 0;  // output bytes so far
    std::uint8_t previous_ = 0;
    std::uint8_t pending_[4] = {};  // an address being handed out
    std::size_t pendingSize_ = 0;
    // By the byte before E8, then E9, then the conditional jumps.
    std::uint16_t probs_[258];
    std::uint32_t range_ = 0xFFFFFFFFu;
    std::uint32_t code_ = 0;
    bool rcStarted_ = false;
};

}  // namespace

std::unique_ptr<InStream> MakeBcj2Coder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                        const DecodeOptions&) {
    if (coder.numInStreams != 4 || coder.numOutStreams != 1 || inputs.size() != 4)
        ThrowDamaged("a coder with the wrong number of streams");
    return std::make_unique<Bcj2Stream>(inputs, outSize);
}

}  // namespace qv::sevenzip
