#include "platform/files.h"

#include <windows.h>

#include "platform/handles.h"

namespace qv::win {

namespace {

DWORD Attributes(const std::string& path) { return ::GetFileAttributesA(path.c_str()); }

}  // namespace

bool FileExists(const std::string& path) {
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
    DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
    UniqueFile f(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return std::nullopt;
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(f.get(), &size) || size.QuadPart > 0x40000000) return std::nullopt;
    std::string bytes(std::size_t(size.QuadPart), '\0');
    DWORD done = 0;
    if (!bytes.empty() && (!::ReadFile(f.get(), bytes.data(), DWORD(bytes.size()), &done, nullptr) ||
                           done != bytes.size()))
        return std::nullopt;
    return bytes;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    UniqueFile f(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f) return false;
    DWORD done = 0;
    return bytes.empty() || (::WriteFile(f.get(), bytes.data(), DWORD(bytes.size()), &done, nullptr) &&
                             done == bytes.size());
}

bool CopyFileTail(const std::string& source, unsigned long long offset, const std::string& target) {
    // The running image is open for execution: share everything.
    UniqueFile in(::CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!in) return false;
    LARGE_INTEGER at;
    at.QuadPart = LONGLONG(offset);
    if (!::SetFilePointerEx(in.get(), at, nullptr, FILE_BEGIN)) return false;
    UniqueFile out(::CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out) return false;
    char buffer[64 * 1024];
    for (;;) {
        DWORD got = 0, put = 0;
        if (!::ReadFile(in.get(), buffer, sizeof buffer, &got, nullptr)) return false;
        if (got == 0) return true;
        if (!::WriteFile(out.get(), buffer, got, &put, nullptr) || put != got) return false;
    }
}

std::optional<unsigned long long> FileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
    return (unsigned long long)data.nFileSizeHigh << 32 | data.nFileSizeLow;
}

bool ClearAttributes(const std::string& path) { return ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL); }

bool ForceDirectories(const std::string& path) {
    std::string p = path;
    while (!p.empty() && (p.back() == '\\' || p.back() == '/')) p.pop_back();
    if (p.empty() || DirectoryExists(p)) return !p.empty();
    std::size_t slash = p.find_last_of("\\/");
    if (slash != std::string::npos && slash > 0 && p[slash - 1] != ':' && p[slash - 1] != '\\') {
        if (!ForceDirectories(p.substr(0, slash))) return false;
    }
    return ::CreateDirectoryA(p.c_str(), nullptr) || DirectoryExists(p);
}

bool CreateNewDirectory(const std::string& path) { return ::CreateDirectoryA(path.c_str(), nullptr) != 0; }

void DeleteTree(const std::string& folder) {
    std::string base = WithTrailingBackslash(folder);
    WIN32_FIND_DATAA data;
    UniqueFind find(::FindFirstFileA((base + "*").c_str(), &data));
    if (!find) return;
    do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        std::string path = base + name;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ClearAttributes(path);
            DeleteTree(path);
            ::RemoveDirectoryA(path.c_str());
        } else {
            ClearAttributes(path);
            ::DeleteFileA(path.c_str());
        }
    } while (::FindNextFileA(find.get(), &data));
}

void DeleteTree(const std::string& folder, bool withSubfolders) {
    if (withSubfolders) return DeleteTree(folder);
    std::string base = WithTrailingBackslash(folder);
    WIN32_FIND_DATAA data;
    UniqueFind find(::FindFirstFileA((base + "*").c_str(), &data));
    if (!find) return;
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        std::string path = base + data.cFileName;
        ClearAttributes(path);
        ::DeleteFileA(path.c_str());
    } while (::FindNextFileA(find.get(), &data));
}

bool RemoveFolder(const std::string& folder) { return ::RemoveDirectoryA(folder.c_str()) != 0; }

std::string WithTrailingBackslash(std::string path) {
    if (path.empty() || path.back() != '\\') path.push_back('\\');
    return path;
}

std::string TempFolder() {
    char buffer[MAX_PATH + 1];
    DWORD n = ::GetTempPathA(sizeof buffer, buffer);
    if (n == 0 || n > MAX_PATH) return "C:\\";
    return WithTrailingBackslash(std::string(buffer, n));
}

}  // namespace qv::win
