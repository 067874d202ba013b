// BCJ2: x86 code split into four streams. The main stream holds the code
// with the addresses of calls and jumps taken out; those addresses, made
// absolute, are in the call stream (after E8) and the jump stream (after
// E9 and the 0F 8x conditional jumps), big-endian; a range-coded bit per
// opcode says whether its address was taken out.
#pragma once

#include "archive/sevenzip/coder.h"

namespace qv::sevenzip {

// Inputs in order: main, call, jump, range coder.
std::unique_ptr<InStream> MakeBcj2Coder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                        const DecodeOptions& options);

}  // namespace qv::sevenzip
