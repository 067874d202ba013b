#include "archive/sevenzip/coder.h"

#include <algorithm>
#include <cstdio>

#include "archive/sevenzip/archive_error.h"
#include "archive/sevenzip/copy_coder.h"
#include "archive/sevenzip/lzma_coders.h"

namespace qv::sevenzip {
namespace {

struct CoderMethod {
    std::uint64_t id;
    CoderFactory make;
};

const CoderMethod kMethods[] = {
    {0x00, MakeCopyCoder},      // copy
    {0x030101, MakeLzmaCoder},  // LZMA
    {0x21, MakeLzma2Coder},     // LZMA2
};

// Null for a method this reader does not have.
const CoderMethod* FindCoderMethod(std::uint64_t id) {
    const auto it = std::find_if(std::begin(kMethods), std::end(kMethods), [id](const CoderMethod& m) { return m.id == id; });
    return it == std::end(kMethods) ? nullptr : it;
}

}  // namespace

std::unique_ptr<InStream> MakeCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                    const DecodeOptions& options) {
    const CoderMethod* method = FindCoderMethod(coder.methodId);
    if (method == nullptr)
        throw ArchiveError(ArchiveErrorKind::UnsupportedMethod,
                           "Unsupported compression method " + MethodIdText(coder.methodId));
    return method->make(coder, std::move(inputs), outSize, options);
}

std::string MethodIdText(std::uint64_t id) {
    std::string text;
    do {
        char byte[3];
        std::snprintf(byte, sizeof byte, "%02X", static_cast<unsigned>(id & 0xFF));
        text.insert(0, byte);
        id >>= 8;
    } while (id != 0);
    return text;
}

}  // namespace qv::sevenzip
