#include "archive/sevenzip/coder.h"

#include <algorithm>
#include <cstdio>

#include "archive/sevenzip/archive_error.h"

namespace qv::sevenzip {

const CoderMethod* FindCoderMethod(const CoderMethod* begin, const CoderMethod* end, std::uint64_t id) {
    const CoderMethod* it = std::find_if(begin, end, [id](const CoderMethod& m) { return m.id == id; });
    return it == end ? nullptr : it;
}

void ThrowUnsupportedMethod(std::uint64_t id) {
    throw ArchiveError(ArchiveErrorKind::UnsupportedMethod, "Unsupported compression method " + MethodIdText(id));
}

void RequireSingleStream(const Coder& coder, const CoderInputs& inputs) {
    if (coder.numInStreams != 1 || coder.numOutStreams != 1 || inputs.size() != 1)
        ThrowDamaged("a coder with the wrong number of streams");
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
