#include "archive/sevenzip/branch_coders.h"

#include "archive/sevenzip/archive_error.h"
#include "archive/sevenzip/branch_filters.h"
#include "archive/sevenzip/filter_stream.h"

namespace qv::sevenzip {
namespace {

using ConvertFn = std::size_t (*)(std::uint8_t*, std::size_t, std::uint32_t);

std::uint32_t StartPosition(const Coder& coder) {
    const std::vector<std::uint8_t>& p = coder.properties;
    if (p.empty()) return 0;
    if (p.size() != 4) ThrowDamaged("invalid branch converter properties");
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

// Positions wrap at 4 GiB, as the converters' addresses do.
template <ConvertFn Fn>
class BranchConverter : public Converter {
public:
    explicit BranchConverter(std::uint32_t ip) : ip_(ip) {}
    std::size_t Convert(std::uint8_t* data, std::size_t size) override {
        const std::size_t n = Fn(data, size, ip_);
        ip_ += static_cast<std::uint32_t>(n);
        return n;
    }

private:
    std::uint32_t ip_;
};

class X86Converter : public Converter {
public:
    explicit X86Converter(std::uint32_t ip) : ip_(ip) {}
    std::size_t Convert(std::uint8_t* data, std::size_t size) override {
        const std::size_t n = ConvertX86(data, size, ip_, state_);
        ip_ += static_cast<std::uint32_t>(n);
        return n;
    }

private:
    std::uint32_t ip_;
    std::uint32_t state_ = 0;
};

template <typename C>
std::unique_ptr<InStream> MakeBranch(const Coder& coder, CoderInputs& inputs, std::uint64_t outSize) {
    RequireSingleStream(coder, inputs);
    return MakeFilterStream(std::move(inputs[0]), outSize, std::make_unique<C>(StartPosition(coder)));
}

}  // namespace

std::unique_ptr<InStream> MakeBcjCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                       const DecodeOptions&) {
    return MakeBranch<X86Converter>(coder, inputs, outSize);
}

std::unique_ptr<InStream> MakePpcCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                       const DecodeOptions&) {
    return MakeBranch<BranchConverter<ConvertPowerPc>>(coder, inputs, outSize);
}

std::unique_ptr<InStream> MakeIa64Coder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                        const DecodeOptions&) {
    return MakeBranch<BranchConverter<ConvertIa64>>(coder, inputs, outSize);
}

std::unique_ptr<InStream> MakeArmCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                       const DecodeOptions&) {
    return MakeBranch<BranchConverter<ConvertArm>>(coder, inputs, outSize);
}

std::unique_ptr<InStream> MakeArmThumbCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                            const DecodeOptions&) {
    return MakeBranch<BranchConverter<ConvertArmThumb>>(coder, inputs, outSize);
}

std::unique_ptr<InStream> MakeSparcCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                         const DecodeOptions&) {
    return MakeBranch<BranchConverter<ConvertSparc>>(coder, inputs, outSize);
}

std::unique_ptr<InStream> MakeArm64Coder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                         const DecodeOptions&) {
    return MakeBranch<BranchConverter<ConvertArm64>>(coder, inputs, outSize);
}

}  // namespace qv::sevenzip
