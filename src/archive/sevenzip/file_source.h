// The archive file read through the standard library, for tools and tests
// that run outside Windows (the archive library has its own, wide-path one).
#pragma once

#include <filesystem>
#include <fstream>

#include "archive/sevenzip/streams.h"

namespace qv::sevenzip {

class StdFileSource : public RandomAccessSource {
public:
    // Throws ArchiveError(NotFound) when the file cannot be opened.
    explicit StdFileSource(const std::filesystem::path& path);
    std::uint64_t Size() const override { return size_; }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* dst, std::size_t size) override;

private:
    std::ifstream file_;
    std::uint64_t size_ = 0;
};

}  // namespace qv::sevenzip
