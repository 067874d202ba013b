#include "actions/file_search.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "common/text.h"

using namespace qv;

namespace {

bool Matches(const std::string& name, const std::string& mask) {
    if (mask == "*.*" || mask == "*") return true;
    std::string n = UpperAscii(name), m = UpperAscii(mask);
    std::size_t star = m.find('*');
    if (star == std::string::npos) return n == m;
    std::string head = m.substr(0, star), tail = m.substr(star + 1);
    return n.size() >= head.size() + tail.size() && n.compare(0, head.size(), head) == 0 &&
           n.compare(n.size() - tail.size(), tail.size(), tail) == 0;
}

// A tree of paths kept in creation order: a folder ends with a backslash.
// `stuck` files cannot be deleted (in use).
class TreeView : public FileSystemView {
public:
    std::vector<std::string> paths;
    std::set<std::string> stuck;
    std::function<void(const std::string&)> onList;

    explicit TreeView(std::vector<std::string> p) : paths(std::move(p)) {}

    std::vector<DirectoryEntry> List(const std::string& folder, const std::string& mask) override {
        if (onList) onList(folder);
        std::vector<DirectoryEntry> out = {{".", true}, {"..", true}};
        for (const auto& p : paths) {
            if (p.size() <= folder.size() || p.compare(0, folder.size(), folder) != 0) continue;
            std::string rest = p.substr(folder.size());
            bool isFolder = rest.back() == '\\';
            if (isFolder) rest.pop_back();
            if (rest.find('\\') != std::string::npos || !Matches(rest, mask)) continue;
            out.push_back({rest, isFolder});
        }
        return out;
    }
    bool DeleteFileAt(const std::string& path) override {
        return !stuck.count(path) && Erase(path);
    }
    bool RemoveEmptyFolder(const std::string& path) override {
        std::string folder = path + "\\";
        for (const auto& p : paths)
            if (p.size() > folder.size() && p.compare(0, folder.size(), folder) == 0) return false;
        return Erase(folder);
    }

private:
    bool Erase(const std::string& path) {
        for (auto it = paths.begin(); it != paths.end(); ++it)
            if (*it == path) {
                paths.erase(it);
                return true;
            }
        return false;
    }
};

std::vector<std::string> Search(TreeView& view, const std::string& path, bool sub, bool folders) {
    std::mutex lock;
    SearchProgress progress(lock);
    return RecursiveFileSearch(view, path, sub, folders, progress);
}

using List = std::vector<std::string>;

}  // namespace

TEST(FileSearch, OrderAndFlags) {
    TreeView view({"a\\", "a\\x.txt", "a\\b\\", "a\\b\\y.txt", "a\\b\\z.log", "a\\c d\\", "a\\c d\\w.txt"});
    struct Case {
        bool sub, folders;
        List found;
    } cases[] = {
        {true, true, {"a\\b\\y.txt", "a\\b", "a\\c d\\w.txt", "a\\c d", "a\\x.txt"}},
        {true, false, {"a\\b\\y.txt", "a\\c d\\w.txt", "a\\x.txt"}},
        {false, true, {"a\\b", "a\\c d", "a\\x.txt"}},
        {false, false, {"a\\x.txt"}},
    };
    for (const Case& k : cases) EXPECT_EQ(Search(view, "a\\*.txt", k.sub, k.folders), k.found) << k.sub << k.folders;
    EXPECT_EQ(Search(view, "missing\\*.*", true, true), List{});
    EXPECT_EQ(FindFiles(view, "a\\*.txt", true), (List{"a\\b\\y.txt", "a\\c d\\w.txt", "a\\x.txt"}));
    EXPECT_EQ(ListSubfolders(view, "a", true), (List{"a\\b", "a\\c d"}));
    TreeView deep({"r\\", "r\\s\\", "r\\s\\t\\", "r\\u\\"});
    EXPECT_EQ(ListSubfolders(deep, "r\\", true), (List{"r\\s\\t", "r\\s", "r\\u"}));
    EXPECT_EQ(ListSubfolders(deep, "r", false), (List{"r\\s", "r\\u"}));
}

TEST(FileSearch, ProgressCountsFoldersAndKeepsTheLastFile) {
    TreeView view({"a\\", "a\\x.txt", "a\\b\\", "a\\b\\y.txt"});
    std::mutex lock;
    SearchProgress progress(lock);
    progress.counter = 100;  // wraps after 100
    RecursiveFileSearch(view, "a\\*.txt", true, false, progress);
    EXPECT_EQ(progress.counter, 1);
    EXPECT_EQ(progress.lastFile, "a\\x.txt");
}

TEST(FileSearch, CancelKeepsThePartialList) {
    TreeView view({"a\\", "a\\b\\", "a\\b\\y.txt", "a\\b\\y2.txt", "a\\c\\", "a\\c\\w.txt", "a\\x.txt"});
    std::mutex lock;
    SearchProgress progress(lock);
    // The user cancels while the first subfolder is searched: its first file
    // is kept, and nothing after it.
    view.onList = [&](const std::string& folder) {
        if (folder == "a\\b\\") progress.cancel = true;
    };
    EXPECT_EQ(RecursiveFileSearch(view, "a\\*.txt", true, true, progress), List{"a\\b\\y.txt"});
    progress.cancel = false;
    view.onList = nullptr;
    TreeView files({"a\\", "a\\x.txt", "a\\y.txt"});
    files.onList = [&](const std::string&) { progress.cancel = true; };
    EXPECT_EQ(RecursiveFileSearch(files, "a\\*.txt", false, false, progress), List{"a\\x.txt"});
}

TEST(FileSearch, DeleteFilesRecursive) {
    TreeView view({"t\\", "t\\keep.txt", "t\\one.log", "t\\empty\\", "t\\logs\\", "t\\logs\\a.log", "t\\logs\\deep\\",
                   "t\\logs\\deep\\b.log", "t\\mixed\\", "t\\mixed\\c.log", "t\\mixed\\note.txt", "t\\busy\\",
                   "t\\busy\\held.log"});
    view.stuck.insert("t\\busy\\held.log");
    DeleteFilesRecursive(view, "t\\*.log");
    EXPECT_EQ(view.paths, (List{"t\\", "t\\keep.txt", "t\\mixed\\", "t\\mixed\\note.txt", "t\\busy\\",
                                "t\\busy\\held.log"}));
}
