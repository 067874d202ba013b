// File-system calls of the stub (8-bit paths in the system code page).
#pragma once

#include <optional>
#include <string>

namespace qv::win {

bool FileExists(const std::string& path);       // a file, not a folder
bool DirectoryExists(const std::string& path);
std::optional<std::string> ReadWholeFile(const std::string& path);
// Writes the bytes to a new file that replaces any existing one.
bool WriteWholeFile(const std::string& path, const std::string& bytes);
// Copies bytes [offset, end of file) of one file into a new file.
bool CopyFileTail(const std::string& source, unsigned long long offset, const std::string& target);
std::optional<unsigned long long> FileSize(const std::string& path);
bool ClearAttributes(const std::string& path);
// Creates the folder with all missing parents.
bool ForceDirectories(const std::string& path);
// Creates a folder that did not exist before; false when it already existed
// (as a folder or a file) or cannot be made.
bool CreateNewDirectory(const std::string& path);
// Removes the folder's files (attributes cleared first) and sub-folders,
// recursively; the folder itself stays.
void DeleteTree(const std::string& folder);
// Without subfolders: only the folder's own files go (attributes cleared).
void DeleteTree(const std::string& folder, bool withSubfolders);
bool RemoveFolder(const std::string& folder);

std::string WithTrailingBackslash(std::string path);
// The system's temporary folder, trailing backslash.
std::string TempFolder();

}  // namespace qv::win
