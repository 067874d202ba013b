// The coder interface: every method of a folder is a stream that pulls its
// packed-side inputs and produces one unpacked output of a known size. Where
// the coders come from is a CoderSource: the reader's own table when it is
// linked into a program (builtin_coders.h), the codec libraries when it runs
// as the format library. A folder's bind pairs connect them into a chain.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/sevenzip/archive_model.h"
#include "archive/sevenzip/streams.h"

namespace qv::sevenzip {

class CoderSource;

struct DecodeOptions {
    // The largest dictionary (history window) a coder may allocate.
    std::uint64_t memoryLimit = std::uint64_t(1536) << 20;
    // The key of encrypted data is hashed 2^n times; a larger n than this is
    // refused rather than spending minutes on it.
    unsigned maxKeyStretchPower = 24;
    // Asked when a coder first needs a password (UTF-16 code units);
    // nothing when none was given.
    std::function<std::optional<std::u16string>()> password;
    // Must be set before an archive is opened.
    const CoderSource* coders = nullptr;
};

using CoderInputs = std::vector<std::unique_ptr<InStream>>;

// Makes the decoder of one coder from its inputs (numInStreams of them, in
// order); the result produces exactly outSize bytes or throws. The options
// are valid only during the call.
using CoderFactory = std::unique_ptr<InStream> (*)(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                                   const DecodeOptions& options);

class CoderSource {
public:
    virtual ~CoderSource() = default;
    // Throws ArchiveError(UnsupportedMethod) for an unknown method id.
    virtual std::unique_ptr<InStream> MakeCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                                const DecodeOptions& options) const = 0;
};

// A method id and the factory of its decoder: the rows of coder tables.
struct CoderMethod {
    std::uint64_t id;
    CoderFactory make;
};

// Null for a method the table does not have.
const CoderMethod* FindCoderMethod(const CoderMethod* begin, const CoderMethod* end, std::uint64_t id);

[[noreturn]] void ThrowUnsupportedMethod(std::uint64_t id);

// Throws unless the coder has the single input and output the simple
// methods take.
void RequireSingleStream(const Coder& coder, const CoderInputs& inputs);

// The method id as the format writes it, in hexadecimal ("030101").
std::string MethodIdText(std::uint64_t id);

}  // namespace qv::sevenzip
