#include "archive/zor/win_file_source.h"

#include <algorithm>

#include "archive/sevenzip/archive_error.h"

namespace qv::zor {

using sevenzip::ArchiveError;
using sevenzip::ArchiveErrorKind;

WinFileSource::WinFileSource(const std::wstring& path)
    : file_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                        FILE_FLAG_SEQUENTIAL_SCAN, nullptr)) {
    if (!file_) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_INVALID_NAME ||
            error == ERROR_BAD_NETPATH || error == ERROR_INVALID_DRIVE)
            throw ArchiveError(ArchiveErrorKind::NotFound, "The archive file was not found");
        throw ArchiveError(ArchiveErrorKind::NotArchive, "The archive file cannot be read");
    }
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_.get(), &size) || GetFileType(file_.get()) != FILE_TYPE_DISK)
        throw ArchiveError(ArchiveErrorKind::NotArchive, "The archive file cannot be read");
    size_ = static_cast<std::uint64_t>(size.QuadPart);
}

std::size_t WinFileSource::ReadAt(std::uint64_t offset, std::uint8_t* dst, std::size_t size) {
    std::size_t total = 0;
    while (total < size && offset + total < size_) {
        OVERLAPPED at{};
        const std::uint64_t where = offset + total;
        at.Offset = static_cast<DWORD>(where);
        at.OffsetHigh = static_cast<DWORD>(where >> 32);
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - total, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(file_.get(), dst + total, want, &got, &at) || got == 0)
            throw ArchiveError(ArchiveErrorKind::Damaged, "The archive file cannot be read");
        total += got;
    }
    return total;
}

}  // namespace qv::zor
