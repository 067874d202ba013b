// The LZMA decoder proper: range decoder, probability model and the sliding
// window that holds the last dictionary-size bytes of output. The LZMA and
// LZMA2 coders drive it; the window only grows as output is really produced,
// so a damaged size field cannot make it allocate memory it never fills.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "archive/sevenzip/coder_input.h"

namespace qv::sevenzip {

struct LzmaProperties {
    unsigned lc = 3;  // literal context bits
    unsigned lp = 0;  // literal position bits
    unsigned pb = 2;  // position bits
    std::uint32_t dictionarySize = 0;
};

// The properties byte pb * 45 + lp * 9 + lc; throws on values above the
// format's range.
LzmaProperties DecodeLiteralProperties(std::uint8_t byte);

class LzmaDecoder {
public:
    // windowSize is the history to keep: the dictionary size, but never more
    // than the whole output.
    LzmaDecoder(CoderInput& input, std::uint64_t windowSize);

    void SetLiteralProperties(const LzmaProperties& props);
    void ResetState();       // probabilities, state and repeated distances
    void ResetDictionary();  // forget all history
    void StartRangeCoder();  // reads the range coder's five initial bytes

    // Bytes that may be produced before the caller takes what is pending.
    std::size_t Room();
    // Produces up to size (<= Room()) bytes; fewer only at an end marker,
    // after which the stream has ended.
    std::size_t Decode(std::size_t size);
    // Moves size (<= Room()) bytes of uncompressed data from the input into
    // the window.
    void CopyStored(std::size_t size);
    // Hands out produced bytes not yet taken.
    std::size_t Take(std::uint8_t* dst, std::size_t size);

    bool MatchPending() const { return pendingLen_ != 0; }

private:
    // All probabilities but the literal ones, at the offsets of lzma_decoder.cpp.
    static constexpr std::size_t kNumProbs = 1847;

    void Grow();

    CoderInput& input_;
    LzmaProperties props_;
    std::uint16_t probs_[kNumProbs] = {};
    std::vector<std::uint16_t> literalProbs_;

    std::uint32_t range_ = 0;
    std::uint32_t code_ = 0;
    unsigned state_ = 0;
    std::uint32_t rep_[4] = {0, 0, 0, 0};
    std::size_t pendingLen_ = 0;

    std::unique_ptr<std::uint8_t[]> window_;
    std::size_t capacity_ = 0;     // allocated window bytes
    std::size_t maxCapacity_ = 0;  // the window never grows beyond this
    std::size_t pos_ = 0;          // next write position
    std::size_t taken_ = 0;        // bytes before this were handed out
    std::uint64_t processed_ = 0;  // bytes produced since the last dictionary reset
};

}  // namespace qv::sevenzip
