#include "archive/sevenzip/copy_coder.h"

#include <algorithm>

#include "archive/sevenzip/archive_error.h"

namespace qv::sevenzip {
namespace {

class CopyStream : public InStream {
public:
    CopyStream(std::unique_ptr<InStream> input, std::uint64_t size) : input_(std::move(input)), remaining_(size) {}

    std::size_t Read(std::uint8_t* dst, std::size_t size) override {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, remaining_));
        if (n == 0) return 0;
        const std::size_t got = input_->Read(dst, n);
        if (got == 0) throw ArchiveError(ArchiveErrorKind::DataError, "The packed data ends unexpectedly");
        remaining_ -= got;
        return got;
    }

private:
    std::unique_ptr<InStream> input_;
    std::uint64_t remaining_;
};

}  // namespace

std::unique_ptr<InStream> MakeCopyCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                        const DecodeOptions&) {
    RequireSingleStream(coder, inputs);
    return std::make_unique<CopyStream>(std::move(inputs[0]), outSize);
}

}  // namespace qv::sevenzip
