#include "archive/sevenzip/streams.h"

#include <algorithm>
#include <cstring>

namespace qv::sevenzip {

std::size_t MemorySource::ReadAt(std::uint64_t offset, std::uint8_t* dst, std::size_t size) {
    if (offset >= bytes_.size()) return 0;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, bytes_.size() - offset));
    std::memcpy(dst, bytes_.data() + offset, n);
    return n;
}

}  // namespace qv::sevenzip
