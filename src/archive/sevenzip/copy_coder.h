// The "copy" method: the packed stream is the data.
#pragma once

#include "archive/sevenzip/coder.h"

namespace qv::sevenzip {

std::unique_ptr<InStream> MakeCopyCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                        const DecodeOptions& options);

// Throws unless the coder has the single input and output the simple
// methods take.
void RequireSingleStream(const Coder& coder, const CoderInputs& inputs);

}  // namespace qv::sevenzip
