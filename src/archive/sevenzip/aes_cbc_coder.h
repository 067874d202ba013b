// AES-256 in CBC mode as a coder: its properties are the 32-byte key and
// the 16-byte IV; it produces the first outSize bytes of the decrypted
// blocks (the last block is padding beyond them).
#pragma once

#include "archive/sevenzip/coder.h"

namespace qv::sevenzip {

std::unique_ptr<InStream> MakeAes256CbcCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                             const DecodeOptions& options);

}  // namespace qv::sevenzip
