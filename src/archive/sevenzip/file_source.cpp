#include "archive/sevenzip/file_source.h"

#include <algorithm>

#include "archive/sevenzip/archive_error.h"

namespace qv::sevenzip {

StdFileSource::StdFileSource(const std::filesystem::path& path) : file_(path, std::ios::binary) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!file_ || ec) throw ArchiveError(ArchiveErrorKind::NotFound, "The archive file was not found: " + path.string());
    size_ = size;
}

std::size_t StdFileSource::ReadAt(std::uint64_t offset, std::uint8_t* dst, std::size_t size) {
    if (offset >= size_) return 0;
    const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, size_ - offset));
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(offset));
    file_.read(reinterpret_cast<char*>(dst), static_cast<std::streamsize>(n));
    return static_cast<std::size_t>(file_.gcount());
}

}  // namespace qv::sevenzip
