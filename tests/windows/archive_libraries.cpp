#include "archive_libraries.h"

#include <gtest/gtest.h>

namespace qv::testing {
namespace {

constexpr const char* kKey = "SOFTWARE\\Zembrot\\Quorvex\\Seven Zip";

// Every test of the program finds the built libraries, as a setup finds
// the staged ones; tests that change the value put it back.
class LibrariesEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        saved_ = LibrariesPath();
        SetLibrariesPath(BuiltLibrariesFolder());
    }
    void TearDown() override { SetLibrariesPath(saved_); }

private:
    std::optional<std::string> saved_;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new LibrariesEnvironment);

}  // namespace

std::wstring ExeFolder() {
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    std::wstring path(buffer, n);
    return path.substr(0, path.find_last_of(L"\\/") + 1);
}

std::string Ansi(const std::wstring& wide) {
    const int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, text.data(), n, nullptr, nullptr);
    text.resize(static_cast<std::size_t>(n - 1));
    return text;
}

std::string BuiltLibrariesFolder() { return Ansi(ExeFolder()) + "SevenZip\\"; }

std::optional<std::string> LibrariesPath() {
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1;
    if (RegGetValueA(HKEY_CURRENT_USER, kKey, "Path", RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(buffer);
}

void SetLibrariesPath(const std::optional<std::string>& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    if (path) {
        RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(path->c_str()), DWORD(path->size() + 1));
    } else {
        RegDeleteValueA(key, "Path");
    }
    RegCloseKey(key);
}

TempFolder::TempFolder(const std::string& name) {
    char base[MAX_PATH];
    GetTempPathA(MAX_PATH, base);
    static int counter = 0;
    path_ = std::string(base) + name + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + "\\";
    RemoveTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

void RemoveTree(const std::string& path) {
    std::string folder = path;
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string child = folder + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

const ZorFunctions& Zor() {
    static const ZorFunctions zor = [] {
        ZorFunctions z;
        z.module = LoadLibraryW((ExeFolder() + L"zor.dll").c_str());
        if (z.module == nullptr) return z;
        auto bind = [&z](const char* name) { return reinterpret_cast<void*>(GetProcAddress(z.module, name)); };
        z.open = reinterpret_cast<ZorOpenListArchiveFn>(bind("OpenListArchive"));
        z.extract = reinterpret_cast<ZorExtractArchiveFn>(bind("ExtractArchive"));
        z.close = reinterpret_cast<ZorCloseListArchiveFn>(bind("CloseListArchive"));
        z.lastError = reinterpret_cast<ZorGetLastArchiveErrorFn>(bind("GetLastArchiveError"));
        return z;
    }();
    return zor;
}

}  // namespace qv::testing
