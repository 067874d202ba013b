#include "archive/sevenzip/lzma_decoder.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "archive/sevenzip/archive_error.h"

namespace qv::sevenzip {
namespace {

constexpr std::uint32_t kTopValue = 1u << 24;
constexpr unsigned kModelBits = 11;
constexpr std::uint32_t kModelTotal = 1u << kModelBits;
constexpr unsigned kMoveBits = 5;
constexpr std::uint16_t kProbInit = kModelTotal / 2;
constexpr std::size_t kInitialWindow = 1 << 20;

// Offsets into the probability array.
constexpr std::size_t kIsMatch = 0;               // [state][posState]
constexpr std::size_t kIsRep = kIsMatch + 12 * 16;
constexpr std::size_t kIsRepG0 = kIsRep + 12;
constexpr std::size_t kIsRepG1 = kIsRepG0 + 12;
constexpr std::size_t kIsRepG2 = kIsRepG1 + 12;
constexpr std::size_t kIsRep0Long = kIsRepG2 + 12;  // [state][posState]
constexpr std::size_t kPosSlot = kIsRep0Long + 12 * 16;  // [lenState][64]
constexpr std::size_t kSpecPos = kPosSlot + 4 * 64;  // reverse trees of distance slots 4..13
constexpr std::size_t kAlign = kSpecPos + 115;
constexpr std::size_t kLenCoder = kAlign + 16;
// A length coder: choice, choice2, low[16][8], mid[16][8], high[256].
constexpr std::size_t kLenChoice2 = 1;
constexpr std::size_t kLenLow = 2;
constexpr std::size_t kLenMid = kLenLow + 16 * 8;
constexpr std::size_t kLenHigh = kLenMid + 16 * 8;
constexpr std::size_t kLenCoderSize = kLenHigh + 256;
constexpr std::size_t kRepLenCoder = kLenCoder + kLenCoderSize;
static_assert(kRepLenCoder + kLenCoderSize == 1847, "probability layout");

constexpr unsigned kEndPosModelIndex = 14;
constexpr unsigned kMatchMinLen = 2;

struct RangeState {
    std::uint32_t range;
    std::uint32_t code;
    const std::uint8_t* in;
};

inline unsigned DecodeBit(RangeState& rc, std::uint16_t& prob) {
    const std::uint32_t bound = (rc.range >> kModelBits) * prob;
    unsigned bit;
    if (rc.code < bound) {
        rc.range = bound;
        prob = static_cast<std::uint16_t>(prob + ((kModelTotal - prob) >> kMoveBits));
        bit = 0;
    } else {
        rc.range -= bound;
        rc.code -= bound;
        prob = static_cast<std::uint16_t>(prob - (prob >> kMoveBits));
        bit = 1;
    }
    if (rc.range < kTopValue) {
        rc.range <<= 8;
        rc.code = (rc.code << 8) | *rc.in++;
    }
    return bit;
}

// The same bit with the outcome chosen by selection rather than a branch:
// faster where the bits are hard to predict, as in literals.
inline unsigned DecodeBitSelect(RangeState& rc, std::uint16_t& prob) {
    const std::uint32_t p = prob;
    const std::uint32_t bound = (rc.range >> kModelBits) * p;
    const unsigned bit = rc.code >= bound;
    const std::uint32_t mask = 0u - bit;  // all ones for a 1
    rc.range = (bound & ~mask) | ((rc.range - bound) & mask);
    rc.code -= bound & mask;
    const std::uint32_t ifOne = (p - (p >> kMoveBits)) & mask;
    const std::uint32_t ifZero = (p + ((kModelTotal - p) >> kMoveBits)) & ~mask;
    prob = static_cast<std::uint16_t>(ifOne | ifZero);
    if (rc.range < kTopValue) {
        rc.range <<= 8;
        rc.code = (rc.code << 8) | *rc.in++;
    }
    return bit;
}

inline std::uint32_t DecodeDirectBits(RangeState& rc, unsigned count) {
    std::uint32_t result = 0;
    do {
        rc.range >>= 1;
        rc.code -= rc.range;
        const std::uint32_t t = 0u - (rc.code >> 31);  // all ones when the bit is 0
        rc.code += rc.range & t;
        result = (result << 1) + (t + 1);
        if (rc.range < kTopValue) {
            rc.range <<= 8;
            rc.code = (rc.code << 8) | *rc.in++;
        }
    } while (--count);
    return result;
}

inline unsigned DecodeTree(RangeState& rc, std::uint16_t* probs, unsigned numBits) {
    unsigned m = 1;
    for (unsigned i = 0; i < numBits; ++i) m = (m << 1) | DecodeBit(rc, probs[m]);
    return m - (1u << numBits);
}

inline unsigned DecodeReverseTree(RangeState& rc, std::uint16_t* probs, unsigned numBits) {
    unsigned m = 1, symbol = 0;
    for (unsigned i = 0; i < numBits; ++i) {
        const unsigned bit = DecodeBit(rc, probs[m]);
        m = (m << 1) | bit;
        symbol |= bit << i;
    }
    return symbol;
}

inline unsigned DecodeLength(RangeState& rc, std::uint16_t* p, unsigned posState) {
    if (DecodeBit(rc, p[0]) == 0) return DecodeTree(rc, p + kLenLow + (posState << 3), 3);
    if (DecodeBit(rc, p[kLenChoice2]) == 0) return 8 + DecodeTree(rc, p + kLenMid + (posState << 3), 3);
    return 16 + DecodeTree(rc, p + kLenHigh, 8);
}

inline std::uint32_t DecodeDistance(RangeState& rc, std::uint16_t* p, unsigned length) {
    const unsigned lenState = length < 3 ? length : 3;
    const unsigned slot = DecodeTree(rc, p + kPosSlot + (lenState << 6), 6);
    if (slot < 4) return slot;
    const unsigned numDirect = (slot >> 1) - 1;
    const std::uint32_t distance = (2u | (slot & 1u)) << numDirect;
    if (slot < kEndPosModelIndex) return distance + DecodeReverseTree(rc, p + kSpecPos + distance - slot, numDirect);
    return distance + (DecodeDirectBits(rc, numDirect - 4) << 4) + DecodeReverseTree(rc, p + kAlign, 4);
}

// Window index of the byte distance + 1 back from pos; distance < capacity.
inline std::size_t BackIndex(std::size_t pos, std::uint32_t distance, std::size_t capacity) {
    return pos > distance ? pos - distance - 1 : pos + capacity - distance - 1;
}

// Copies n bytes from distance + 1 back to pos; the caller has checked the
// distance against the history and n against the room before the window's
// end. Overlapping copies repeat the bytes they have just written, as the
// format means them to.
inline void CopyMatch(std::uint8_t* win, std::size_t cap, std::size_t pos, std::size_t n, std::uint32_t distance) {
    std::size_t src = BackIndex(pos, distance, cap);
    std::uint8_t* d = win + pos;
    if (src + n > cap) {
        // The source wraps around the window's end.
        for (std::size_t i = 0; i < n; ++i) {
            d[i] = win[src];
            if (++src == cap) src = 0;
        }
        return;
    }
    const std::uint8_t* s = win + src;
    if (distance == 0) {
        std::memset(d, *s, n);  // a run of one byte
    } else if (distance >= 7 && n >= 8) {
        // Eight bytes at a time never read what the same step writes; the
        // last step may overlap the one before, whose bytes are final.
        std::size_t i = 0;
        for (; i + 8 <= n; i += 8) {
            std::uint64_t chunk;
            std::memcpy(&chunk, s + i, 8);
            std::memcpy(d + i, &chunk, 8);
        }
        if (i != n) {
            std::uint64_t chunk;
            std::memcpy(&chunk, s + n - 8, 8);
            std::memcpy(d + n - 8, &chunk, 8);
        }
    } else {
        for (std::size_t i = 0; i < n; ++i) d[i] = s[i];
    }
}

[[noreturn]] void ThrowBadData() {
    throw ArchiveError(ArchiveErrorKind::DataError, "The compressed data is damaged");
}

}  // namespace

LzmaProperties DecodeLiteralProperties(std::uint8_t byte) {
    if (byte >= 9 * 5 * 5) throw ArchiveError(ArchiveErrorKind::DataError, "Invalid LZMA properties");
    LzmaProperties p;
    p.lc = byte % 9;
    p.lp = (byte / 9) % 5;
    p.pb = byte / 45;
    return p;
}

LzmaDecoder::LzmaDecoder(CoderInput& input, std::uint64_t windowSize) : input_(input) {
    maxCapacity_ = static_cast<std::size_t>(std::max<std::uint64_t>(1, windowSize));
}

void LzmaDecoder::SetLiteralProperties(const LzmaProperties& props) {
    props_ = props;
    literalProbs_.resize(std::size_t(0x300) << (props.lc + props.lp));
}

void LzmaDecoder::ResetState() {
    std::fill(std::begin(probs_), std::end(probs_), kProbInit);
    std::fill(literalProbs_.begin(), literalProbs_.end(), kProbInit);
    state_ = 0;
    std::fill(std::begin(rep_), std::end(rep_), 0);
    pendingLen_ = 0;
}

void LzmaDecoder::ResetDictionary() {
    processed_ = 0;
}

void LzmaDecoder::StartRangeCoder() {
    std::uint8_t init[5];
    input_.ReadExact(init, sizeof init);
    code_ = std::uint32_t(init[1]) << 24 | std::uint32_t(init[2]) << 16 | std::uint32_t(init[3]) << 8 | init[4];
    range_ = 0xFFFFFFFFu;
    if (init[0] != 0 || code_ == range_) ThrowBadData();
}

void LzmaDecoder::Grow() {
    const std::size_t size = std::min(maxCapacity_, std::max(kInitialWindow, capacity_ * 2));
    // Left uninitialised: every read of the window is at a distance checked
    // against the bytes produced since the dictionary reset.
    std::uint8_t* bigger = new (std::nothrow) std::uint8_t[size];
    if (bigger == nullptr)
        throw ArchiveError(ArchiveErrorKind::ResourceLimit, "Not enough memory for the dictionary of the archive");
    if (pos_ != 0) std::memcpy(bigger, window_.get(), pos_);
    window_.reset(bigger);
    capacity_ = size;
}

std::size_t LzmaDecoder::Room() {
    if (pos_ == capacity_ && taken_ == pos_) {
        // The window only wraps at its full size, so growing never has to
        // move wrapped history.
        if (capacity_ < maxCapacity_)
            Grow();
        else
            pos_ = taken_ = 0;
    }
    return capacity_ - pos_;
}

std::size_t LzmaDecoder::Take(std::uint8_t* dst, std::size_t size) {
    const std::size_t n = std::min(size, pos_ - taken_);
    if (n != 0) std::memcpy(dst, window_.get() + taken_, n);
    taken_ += n;
    return n;
}

void LzmaDecoder::CopyStored(std::size_t size) {
    input_.ReadExact(window_.get() + pos_, size);
    pos_ += size;
    processed_ += size;
}

std::size_t LzmaDecoder::Decode(std::size_t size) {
    const std::size_t start = pos_;
    const std::size_t limit = pos_ + size;
    const std::size_t cap = capacity_;
    std::uint8_t* const win = window_.get();
    // Bytes produced since the dictionary reset, at window position p, are
    // base + p (modulo 2^64) throughout this call: the window does not wrap here.
    const std::uint64_t base = processed_ - start;

    std::size_t pos = pos_;
    std::size_t pending = pendingLen_;
    if (pending != 0) {
        const std::size_t n = std::min(pending, limit - pos);
        CopyMatch(win, cap, pos, n, rep_[0]);
        pos += n;
        pending -= n;
    }

    RangeState rc{range_, code_, input_.Position()};
    const std::uint8_t* safe = input_.SafeLimit();
    std::uint16_t* const p = probs_;
    std::uint16_t* const literals = literalProbs_.data();
    const unsigned pbMask = (1u << props_.pb) - 1;
    const unsigned lpMask = (1u << props_.lp) - 1;
    const unsigned lc = props_.lc;
    unsigned state = state_;
    std::uint32_t rep0 = rep_[0], rep1 = rep_[1], rep2 = rep_[2], rep3 = rep_[3];
    // The byte before pos, the context of the next literal.
    unsigned prev = base + pos == 0 ? 0 : win[(pos == 0 ? cap : pos) - 1];

    while (pos < limit) {
        if (rc.in > safe) {
            rc.in = input_.Refill(rc.in);
            safe = input_.SafeLimit();
        }
        const std::uint64_t processed = base + pos;
        const unsigned posState = static_cast<unsigned>(processed) & pbMask;

        if (DecodeBit(rc, p[kIsMatch + (state << 4) + posState]) == 0) {
            std::uint16_t* probs =
                literals + 0x300 * (((static_cast<unsigned>(processed) & lpMask) << lc) + (prev >> (8 - lc)));
            unsigned symbol = 1;
            if (state < 7) {
                for (int i = 0; i < 8; ++i) symbol = (symbol << 1) | DecodeBitSelect(rc, probs[symbol]);
            } else {
                // After a match the byte at rep0 predicts this one: its bits
                // choose the probabilities until the first bit that differs.
                unsigned matchByte = win[BackIndex(pos, rep0, cap)];
                unsigned offset = 0x100;
                for (int i = 0; i < 8; ++i) {
                    matchByte <<= 1;
                    const unsigned matchBit = matchByte & offset;
                    const unsigned bit = DecodeBitSelect(rc, probs[offset + matchBit + symbol]);
                    symbol = (symbol << 1) | bit;
                    offset &= bit != 0 ? matchBit : ~matchBit;
                }
            }
            prev = symbol & 0xFF;
            win[pos++] = static_cast<std::uint8_t>(prev);
            state = state < 4 ? 0 : (state < 10 ? state - 3 : state - 6);
            continue;
        }

        unsigned length;
        if (DecodeBit(rc, p[kIsRep + state]) == 0) {
            length = DecodeLength(rc, p + kLenCoder, posState);
            state = state < 7 ? 7 : 10;
            const std::uint32_t distance = DecodeDistance(rc, p, length);
            if (distance == 0xFFFFFFFFu) break;  // the end marker
            rep3 = rep2;
            rep2 = rep1;
            rep1 = rep0;
            rep0 = distance;
        } else {
            if (DecodeBit(rc, p[kIsRepG0 + state]) == 0) {
                if (DecodeBit(rc, p[kIsRep0Long + (state << 4) + posState]) == 0) {
                    if (rep0 >= processed || rep0 >= cap) ThrowBadData();
                    prev = win[BackIndex(pos, rep0, cap)];
                    win[pos++] = static_cast<std::uint8_t>(prev);
                    state = state < 7 ? 9 : 11;
                    continue;
                }
            } else {
                std::uint32_t distance;
                if (DecodeBit(rc, p[kIsRepG1 + state]) == 0) {
                    distance = rep1;
                } else {
                    if (DecodeBit(rc, p[kIsRepG2 + state]) == 0) {
                        distance = rep2;
                    } else {
                        distance = rep3;
                        rep3 = rep2;
                    }
                    rep2 = rep1;
                }
                rep1 = rep0;
                rep0 = distance;
            }
            length = DecodeLength(rc, p + kRepLenCoder, posState);
            state = state < 7 ? 8 : 11;
        }
        if (rep0 >= processed || rep0 >= cap) ThrowBadData();
        const std::size_t matchLength = length + kMatchMinLen;
        const std::size_t n = std::min(matchLength, limit - pos);
        CopyMatch(win, cap, pos, n, rep0);
        pos += n;
        pending = matchLength - n;
        prev = win[pos - 1];
    }

    input_.CheckNotOverrun(rc.in);
    input_.SetPosition(rc.in);
    range_ = rc.range;
    code_ = rc.code;
    state_ = state;
    rep_[0] = rep0;
    rep_[1] = rep1;
    rep_[2] = rep2;
    rep_[3] = rep3;
    pendingLen_ = pending;
    pos_ = pos;
    processed_ = base + pos;
    return pos - start;
}

}  // namespace qv::sevenzip
