// Extraction and listing of 7z archives through the archive library zor.dll
// beside the setup. Errors never raise: they come back as texts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace qv::win {

// (entry name, done bytes, total bytes) → true to go on, false to cancel.
using ArchiveProgress = std::function<bool(const std::string&, std::uint64_t, std::uint64_t)>;

struct ArchiveResult {
    bool ok = false;
    std::string error;  // empty on success
};

// Binds zor.dll from this full path (the setup folder's copy); a library
// planted elsewhere is never searched for.
void SetArchiveLibraryPath(const std::string& path);

ArchiveResult ListArchiveFiles(const std::string& archive, const std::string& password,
                               std::vector<std::string>& names);

// Extracts the named entries (all of them when `files` is null) into target.
ArchiveResult ExtractArchiveFiles(const std::string& archive, const std::string& password, const std::string& target,
                                  bool answer, bool mode, const ArchiveProgress& progress = nullptr,
                                  const std::vector<std::string>* files = nullptr);

}  // namespace qv::win
