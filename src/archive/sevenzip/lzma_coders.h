// The LZMA and LZMA2 methods over the shared decoder.
#pragma once

#include "archive/sevenzip/coder.h"

namespace qv::sevenzip {

std::unique_ptr<InStream> MakeLzmaCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                        const DecodeOptions& options);
std::unique_ptr<InStream> MakeLzma2Coder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                         const DecodeOptions& options);

}  // namespace qv::sevenzip
