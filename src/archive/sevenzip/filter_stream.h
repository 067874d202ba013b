// The filters (branch converters, byte swap) change their data in place and
// keep its size. A converter may leave the last few bytes of what it is
// given unconverted (an instruction cut off by the end of the buffer): they
// are given to it again, in front of the bytes that follow, and pass as
// they are once the data has ended.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "archive/sevenzip/streams.h"

namespace qv::sevenzip {

class Converter {
public:
    virtual ~Converter() = default;
    // Converts a prefix of data and returns its length.
    virtual std::size_t Convert(std::uint8_t* data, std::size_t size) = 0;
};

// The converted input; exactly outSize bytes, or a DataError when the input
// has fewer.
std::unique_ptr<InStream> MakeFilterStream(std::unique_ptr<InStream> input, std::uint64_t outSize,
                                           std::unique_ptr<Converter> converter);

}  // namespace qv::sevenzip
