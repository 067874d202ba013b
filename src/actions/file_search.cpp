#include "actions/file_search.h"

#include "actions/file_paths.h"

namespace qv {

namespace {

bool IsDotEntry(const std::string& name) { return name == "." || name == ".."; }

void Search(FileSystemView& view, const std::string& pathWithMask, bool subfolders, bool listFolders,
            SearchProgress& progress, std::vector<std::string>& found) {
    {
        std::lock_guard<std::mutex> guard(progress.lock);
        progress.counter = (progress.counter + 1) % 101;
    }
    SearchPath p = SplitSearchPath(pathWithMask);
    for (const DirectoryEntry& e : view.List(p.folder, "*.*")) {
        if (!e.folder || IsDotEntry(e.name)) continue;
        if (subfolders) Search(view, p.folder + e.name + "\\" + p.mask, true, listFolders, progress, found);
        if (progress.cancel) return;
        if (listFolders) found.push_back(p.folder + e.name);
    }
    for (const DirectoryEntry& e : view.List(p.folder, p.mask)) {
        if (e.folder) continue;
        std::string path = p.folder + e.name;
        {
            std::lock_guard<std::mutex> guard(progress.lock);
            progress.lastFile = path;
        }
        found.push_back(path);
        if (progress.cancel) return;
    }
}

}  // namespace

std::vector<std::string> RecursiveFileSearch(FileSystemView& view, const std::string& pathWithMask,
                                             bool searchSubfolders, bool listFolders, SearchProgress& progress) {
    std::vector<std::string> found;
    Search(view, pathWithMask, searchSubfolders, listFolders, progress, found);
    return found;
}

void DeleteFilesRecursive(FileSystemView& view, const std::string& pathWithMask) {
    std::mutex lock;
    SearchProgress progress(lock);
    std::vector<std::string> entries = RecursiveFileSearch(view, pathWithMask, true, true, progress);
    for (;;) {
        std::size_t before = entries.size();
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) view.DeleteFileAt(*it);
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) view.RemoveEmptyFolder(*it);
        // A folder emptied only now (its last subfolder went after it was
        // tried) goes in the next round.
        entries = RecursiveFileSearch(view, pathWithMask, true, true, progress);
        if (entries.size() == before) return;
    }
}

std::vector<std::string> FindFiles(FileSystemView& view, const std::string& pathWithMask, bool includeSubfolders) {
    std::mutex lock;
    SearchProgress progress(lock);
    return RecursiveFileSearch(view, pathWithMask, includeSubfolders, false, progress);
}

std::vector<std::string> ListSubfolders(FileSystemView& view, const std::string& folder, bool recursive) {
    std::vector<std::string> found;
    std::string base = WithTrailingBackslash(folder);
    for (const DirectoryEntry& e : view.List(base, "*.*")) {
        if (!e.folder || IsDotEntry(e.name)) continue;
        if (recursive) {
            std::vector<std::string> inner = ListSubfolders(view, base + e.name, true);
            found.insert(found.end(), inner.begin(), inner.end());
        }
        found.push_back(base + e.name);
    }
    return found;
}

}  // namespace qv
