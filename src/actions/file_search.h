// Searching and clearing folder trees. The logic runs over a view of the
// file system so that its order, cancel and repeat rules are the same for
// the system's folders and for the tests' trees.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

namespace qv {

struct DirectoryEntry {
    std::string name;
    bool folder = false;
};

class FileSystemView {
public:
    virtual ~FileSystemView() = default;
    // The entries of a folder (trailing backslash) matching a mask, in
    // directory order, "." and ".." included when the system lists them.
    virtual std::vector<DirectoryEntry> List(const std::string& folder, const std::string& mask) = 0;
    // Resets the attributes to normal and deletes the path as a file.
    virtual bool DeleteFileAt(const std::string& path) = 0;
    // Removes the path as an empty folder.
    virtual bool RemoveEmptyFolder(const std::string& path) = 0;
};

// What a running search shares with the main thread. The counter and the
// last file are written under `lock` (the progress lock); the main thread
// alone sets `cancel`.
struct SearchProgress {
    explicit SearchProgress(std::mutex& progressLock) : lock(progressLock) {}
    std::mutex& lock;
    int counter = 0;  // 0..100, one step per folder searched
    std::string lastFile;
    std::atomic<bool> cancel{false};
};

// For each subfolder in directory order: its contents (when searching
// subfolders), then the subfolder itself (when listing folders); then the
// files of the folder matching the mask. A cancel stops the whole search
// and keeps what was found.
std::vector<std::string> RecursiveFileSearch(FileSystemView& view, const std::string& pathWithMask,
                                             bool searchSubfolders, bool listFolders, SearchProgress& progress);

// Deletes every file matching the mask in the folder and its subfolders and
// removes every subfolder that is or becomes empty; the folder itself stays.
// Deletions that fail are passed over.
void DeleteFilesRecursive(FileSystemView& view, const std::string& pathWithMask);

// Full paths of the files (not folders) matching the mask; with subfolders,
// every subfolder's matches (depth first) before those of the folder.
std::vector<std::string> FindFiles(FileSystemView& view, const std::string& pathWithMask, bool includeSubfolders);

// Full paths (no trailing backslash) of the subfolders; when recursive, a
// subfolder's own subfolders come before it.
std::vector<std::string> ListSubfolders(FileSystemView& view, const std::string& folder, bool recursive);

}  // namespace qv
