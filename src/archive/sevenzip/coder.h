// The coder interface: every method of a folder is a stream that pulls its
// packed-side inputs and produces one unpacked output of a known size. New
// methods (branch filters, byte swap, encryption) join the table in
// coder.cpp; a folder's bind pairs connect them into a chain.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/sevenzip/archive_model.h"
#include "archive/sevenzip/streams.h"

namespace qv::sevenzip {

struct DecodeOptions {
    // The largest dictionary (history window) a coder may allocate.
    std::uint64_t memoryLimit = std::uint64_t(1536) << 20;
};

using CoderInputs = std::vector<std::unique_ptr<InStream>>;

// Makes the decoder of one coder from its inputs (numInStreams of them, in
// order); the result produces exactly outSize bytes or throws.
using CoderFactory = std::unique_ptr<InStream> (*)(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                                   const DecodeOptions& options);

// Throws ArchiveError(UnsupportedMethod) for an unknown method id.
std::unique_ptr<InStream> MakeCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                    const DecodeOptions& options);

// The method id as the format writes it, in hexadecimal ("030101").
std::string MethodIdText(std::uint64_t id);

}  // namespace qv::sevenzip
