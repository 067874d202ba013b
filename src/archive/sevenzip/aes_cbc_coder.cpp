#include "archive/sevenzip/aes_cbc_coder.h"

#include <algorithm>
#include <cstring>

#include "archive/sevenzip/aes256.h"
#include "archive/sevenzip/archive_error.h"

namespace qv::sevenzip {
namespace {

constexpr std::size_t kBlock = Aes256Decryptor::kBlockSize;
constexpr std::size_t kBufferSize = 1 << 16;

class AesCbcStream : public InStream {
public:
    AesCbcStream(std::unique_ptr<InStream> input, const std::uint8_t* key, const std::uint8_t* iv, std::uint64_t outSize)
        : input_(std::move(input)), cipher_(key), remaining_(outSize), buffer_(kBufferSize) {
        std::memcpy(iv_, iv, kBlock);
        blocksLeft_ = outSize / kBlock + (outSize % kBlock != 0);
    }

    std::size_t Read(std::uint8_t* dst, std::size_t size) override {
        if (begin_ == end_) Fill();
        const std::size_t n = std::min(size, end_ - begin_);
        std::memcpy(dst, buffer_.data() + begin_, n);
        begin_ += n;
        return n;
    }

private:
    void Fill() {
        begin_ = end_ = 0;
        if (remaining_ == 0) return;
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(blocksLeft_, kBufferSize / kBlock)) * kBlock;
        std::size_t got = 0;
        while (got < want) {
            const std::size_t n = input_->Read(buffer_.data() + got, want - got);
            if (n == 0) throw ArchiveError(ArchiveErrorKind::DataError, "The encrypted data ends unexpectedly");
            got += n;
        }
        cipher_.DecryptCbc(buffer_.data(), got / kBlock, iv_);
        blocksLeft_ -= got / kBlock;
        end_ = static_cast<std::size_t>(std::min<std::uint64_t>(got, remaining_));
        remaining_ -= end_;
    }

    std::unique_ptr<InStream> input_;
    Aes256Decryptor cipher_;
    std::uint8_t iv_[kBlock];
    std::uint64_t remaining_;
    std::uint64_t blocksLeft_;
    std::vector<std::uint8_t> buffer_;
    std::size_t begin_ = 0, end_ = 0;
};

}  // namespace

std::unique_ptr<InStream> MakeAes256CbcCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                             const DecodeOptions&) {
    RequireSingleStream(coder, inputs);
    if (coder.properties.size() != Aes256Decryptor::kKeySize + kBlock) ThrowDamaged("invalid AES properties");
    const std::uint8_t* p = coder.properties.data();
    return std::make_unique<AesCbcStream>(std::move(inputs[0]), p, p + Aes256Decryptor::kKeySize, outSize);
}

}  // namespace qv::sevenzip
