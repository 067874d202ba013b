// Shared by the Windows tests of the archive libraries: the test program's
// folder, temporary folders, whole files, the "Path" value that names the
// format and codec libraries, and zor.dll bound by full path.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "archive/zor_api.h"

namespace qv::testing {

// The test program's folder, with a trailing backslash.
std::wstring ExeFolder();
std::string Ansi(const std::wstring& wide);

// The libraries built beside the test program.
std::string BuiltLibrariesFolder();

std::optional<std::string> LibrariesPath();
void SetLibrariesPath(const std::optional<std::string>& path);

// Puts the "Path" value back as it was.
class SavedLibrariesPath {
public:
    SavedLibrariesPath() : saved_(LibrariesPath()) {}
    ~SavedLibrariesPath() { SetLibrariesPath(saved_); }
    SavedLibrariesPath(const SavedLibrariesPath&) = delete;
    SavedLibrariesPath& operator=(const SavedLibrariesPath&) = delete;

private:
    std::optional<std::string> saved_;
};

// A new empty folder below the temporary folder, removed with everything in it.
class TempFolder {
public:
    explicit TempFolder(const std::string& name);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // With a trailing backslash.
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

void RemoveTree(const std::string& path);
std::optional<std::string> ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

struct ZorFunctions {
    HMODULE module = nullptr;
    ZorOpenListArchiveFn open = nullptr;
    ZorExtractArchiveFn extract = nullptr;
    ZorCloseListArchiveFn close = nullptr;
    ZorGetLastArchiveErrorFn lastError = nullptr;
};

// zor.dll beside the test program, loaded once.
const ZorFunctions& Zor();

}  // namespace qv::testing
