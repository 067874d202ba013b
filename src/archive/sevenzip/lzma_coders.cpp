#include "archive/sevenzip/lzma_coders.h"

#include <algorithm>

#include "archive/sevenzip/archive_error.h"
#include "archive/sevenzip/coder_input.h"
#include "archive/sevenzip/lzma_decoder.h"

namespace qv::sevenzip {
namespace {

// Decoding ahead of the reader in steps of this size keeps progress reports
// of the extraction smooth however large the window is.
constexpr std::size_t kDecodeStep = 1 << 18;

[[noreturn]] void ThrowEndsEarly() {
    throw ArchiveError(ArchiveErrorKind::DataError, "The compressed data ends before its stated size");
}

// The window holds the dictionary, but never more than the whole output.
std::uint64_t WindowSize(std::uint64_t dictionarySize, std::uint64_t outSize, const DecodeOptions& options) {
    const std::uint64_t window = std::min(std::max<std::uint64_t>(dictionarySize, 4096), outSize);
    if (window > options.memoryLimit || window > SIZE_MAX / 2)
        throw ArchiveError(ArchiveErrorKind::ResourceLimit, "The dictionary of the archive is too large");
    return window;
}

std::size_t Step(std::size_t room, std::uint64_t left, std::size_t wanted) {
    return static_cast<std::size_t>(std::min<std::uint64_t>({room, left, std::max(wanted, kDecodeStep)}));
}

class LzmaStream : public InStream {
public:
    LzmaStream(std::unique_ptr<InStream> packed, const LzmaProperties& props, std::uint64_t outSize,
               const DecodeOptions& options)
        : packed_(std::move(packed)),
          input_(*packed_),
          decoder_(input_, WindowSize(props.dictionarySize, outSize, options)),
          remaining_(outSize) {
        decoder_.SetLiteralProperties(props);
        decoder_.ResetState();
        if (outSize != 0) decoder_.StartRangeCoder();
    }

    std::size_t Read(std::uint8_t* dst, std::size_t size) override {
        for (;;) {
            if (const std::size_t n = decoder_.Take(dst, size)) return n;
            if (remaining_ == 0 || size == 0) return 0;
            const std::size_t want = Step(decoder_.Room(), remaining_, size);
            const std::size_t got = decoder_.Decode(want);
            remaining_ -= got;
            if (got < want) ThrowEndsEarly();  // an end marker before the stated size
        }
    }

private:
    std::unique_ptr<InStream> packed_;
    CoderInput input_;
    LzmaDecoder decoder_;
    std::uint64_t remaining_;
};

// LZMA2 is a sequence of chunks, each either stored or LZMA-compressed with
// its own range coder, that may reset the dictionary, the state or the
// literal properties.
class Lzma2Stream : public InStream {
public:
    Lzma2Stream(std::unique_ptr<InStream> packed, std::uint64_t windowSize, std::uint64_t outSize)
        : packed_(std::move(packed)), input_(*packed_), decoder_(input_, windowSize), remaining_(outSize) {}

    std::size_t Read(std::uint8_t* dst, std::size_t size) override {
        for (;;) {
            if (const std::size_t n = decoder_.Take(dst, size)) return n;
            if (remaining_ == 0 || size == 0) return 0;
            if (chunkLeft_ == 0) StartChunk();
            const std::size_t want = Step(decoder_.Room(), chunkLeft_, size);
            if (chunkStored_) {
                decoder_.CopyStored(want);
            } else if (decoder_.Decode(want) < want) {
                ThrowBadChunk();  // LZMA2 chunks carry no end markers
            }
            chunkLeft_ -= want;
            remaining_ -= want;
            if (chunkLeft_ == 0 && !chunkStored_) FinishLzmaChunk();
        }
    }

private:
    [[noreturn]] static void ThrowBadChunk() {
        throw ArchiveError(ArchiveErrorKind::DataError, "The compressed data is damaged");
    }

    std::uint32_t ReadBigEndian16() {
        const std::uint32_t high = input_.ReadByte();
        return high << 8 | input_.ReadByte();
    }

    void StartChunk() {
        const std::uint8_t control = input_.ReadByte();
        if (control == 0x00) ThrowEndsEarly();
        if (control == 0x01 || control == 0x02) {
            if (control == 0x01) {
                decoder_.ResetDictionary();
                needDictionaryReset_ = false;
                needProperties_ = true;
            } else if (needDictionaryReset_) {
                ThrowBadChunk();
            }
            chunkStored_ = true;
            chunkLeft_ = ReadBigEndian16() + 1;
        } else if (control >= 0x80) {
            const unsigned reset = (control >> 5) & 3;  // 1 state, 2 state and properties, 3 all and dictionary
            chunkStored_ = false;
            chunkLeft_ = ((control & 0x1Fu) << 16) + ReadBigEndian16() + 1;
            const std::uint32_t packedSize = ReadBigEndian16() + 1;
            if (reset == 3) {
                decoder_.ResetDictionary();
                needDictionaryReset_ = false;
            } else if (needDictionaryReset_) {
                ThrowBadChunk();
            }
            if (reset >= 2) {
                const LzmaProperties props = DecodeLiteralProperties(input_.ReadByte());
                if (props.lc + props.lp > 4) ThrowBadChunk();
                decoder_.SetLiteralProperties(props);
                needProperties_ = false;
            } else if (needProperties_) {
                ThrowBadChunk();
            }
            if (reset >= 1) decoder_.ResetState();
            chunkEnd_ = input_.Offset(input_.Position()) + packedSize;
            decoder_.StartRangeCoder();
        } else {
            ThrowBadChunk();
        }
        if (chunkLeft_ > remaining_) ThrowBadChunk();
    }

    // A chunk ends on a symbol boundary with its range coder flushed, so
    // decoding must have read exactly its packed bytes.
    void FinishLzmaChunk() {
        if (decoder_.MatchPending() || input_.Offset(input_.Position()) != chunkEnd_) ThrowBadChunk();
    }

    std::unique_ptr<InStream> packed_;
    CoderInput input_;
    LzmaDecoder decoder_;
    std::uint64_t remaining_;
    std::uint32_t chunkLeft_ = 0;
    bool chunkStored_ = false;
    std::uint64_t chunkEnd_ = 0;
    bool needDictionaryReset_ = true;
    bool needProperties_ = true;
};

}  // namespace

std::unique_ptr<InStream> MakeLzmaCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                        const DecodeOptions& options) {
    RequireSingleStream(coder, inputs);
    if (coder.properties.size() < 5) ThrowDamaged("LZMA properties are missing");
    const std::uint8_t* p = coder.properties.data();
    LzmaProperties props = DecodeLiteralProperties(p[0]);
    props.dictionarySize = std::uint32_t(p[1]) | std::uint32_t(p[2]) << 8 | std::uint32_t(p[3]) << 16 | std::uint32_t(p[4]) << 24;
    return std::make_unique<LzmaStream>(std::move(inputs[0]), props, outSize, options);
}

std::unique_ptr<InStream> MakeLzma2Coder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                         const DecodeOptions& options) {
    RequireSingleStream(coder, inputs);
    if (coder.properties.size() < 1 || coder.properties[0] > 40) ThrowDamaged("invalid LZMA2 properties");
    const unsigned bits = coder.properties[0];
    const std::uint64_t dictionary =
        bits == 40 ? 0xFFFFFFFFull : (std::uint64_t(2) | (bits & 1)) << (bits / 2 + 11);
    return std::make_unique<Lzma2Stream>(std::move(inputs[0]), WindowSize(dictionary, outSize, options), outSize);
}

}  // namespace qv::sevenzip
