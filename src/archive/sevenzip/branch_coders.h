// The branch converter methods (x86, PowerPC, IA-64, ARM, ARM Thumb, SPARC,
// ARM64) as coders; their optional 4-byte property is the stream position
// the data starts at.
#pragma once

#include "archive/sevenzip/coder.h"

namespace qv::sevenzip {

std::unique_ptr<InStream> MakeBcjCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                       const DecodeOptions& options);
std::unique_ptr<InStream> MakePpcCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                       const DecodeOptions& options);
std::unique_ptr<InStream> MakeIa64Coder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                        const DecodeOptions& options);
std::unique_ptr<InStream> MakeArmCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                       const DecodeOptions& options);
std::unique_ptr<InStream> MakeArmThumbCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                            const DecodeOptions& options);
std::unique_ptr<InStream> MakeSparcCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                         const DecodeOptions& options);
std::unique_ptr<InStream> MakeArm64Coder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                         const DecodeOptions& options);

}  // namespace qv::sevenzip
