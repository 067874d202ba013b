// Byte swap: the bytes of each 2- or 4-byte group reversed (a trailing
// partial group stays as it is).
#pragma once

#include "archive/sevenzip/coder.h"

namespace qv::sevenzip {

std::unique_ptr<InStream> MakeSwap2Coder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                         const DecodeOptions& options);
std::unique_ptr<InStream> MakeSwap4Coder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                         const DecodeOptions& options);

}  // namespace qv::sevenzip
