// The "copy" method: the packed stream is the data.
#pragma once

#include "archive/sevenzip/coder.h"

namespace qv::sevenzip {

std::unique_ptr<InStream> MakeCopyCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                        const DecodeOptions& options);

}  // namespace qv::sevenzip
