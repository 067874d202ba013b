#include "archive/sevenzip/swap_coders.h"

#include <algorithm>

#include "archive/sevenzip/filter_stream.h"

namespace qv::sevenzip {
namespace {

template <std::size_t Group>
class SwapConverter : public Converter {
public:
    std::size_t Convert(std::uint8_t* data, std::size_t size) override {
        const std::size_t whole = size - size % Group;
        for (std::size_t i = 0; i < whole; i += Group) std::reverse(data + i, data + i + Group);
        return whole;
    }
};

}  // namespace

std::unique_ptr<InStream> MakeSwap2Coder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                         const DecodeOptions&) {
    RequireSingleStream(coder, inputs);
    return MakeFilterStream(std::move(inputs[0]), outSize, std::make_unique<SwapConverter<2>>());
}

std::unique_ptr<InStream> MakeSwap4Coder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                         const DecodeOptions&) {
    RequireSingleStream(coder, inputs);
    return MakeFilterStream(std::move(inputs[0]), outSize, std::make_unique<SwapConverter<4>>());
}

}  // namespace qv::sevenzip
