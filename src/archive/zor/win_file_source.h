// The archive file read through a Win32 handle, opened by its wide name.
#pragma once

#include <string>

#include "archive/sevenzip/streams.h"
#include "platform/handles.h"

namespace qv::zor {

class WinFileSource : public sevenzip::RandomAccessSource {
public:
    // Throws ArchiveError: NotFound when no such file exists, NotArchive when
    // it exists but cannot be read.
    explicit WinFileSource(const std::wstring& path);
    std::uint64_t Size() const override { return size_; }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* dst, std::size_t size) override;

private:
    win::UniqueFile file_;
    std::uint64_t size_ = 0;
};

}  // namespace qv::zor
