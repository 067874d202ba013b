#include "actions/file_commands.h"

#include <windows.h>

#include "actions/deferred_file_commands.h"
#include "actions/file_paths.h"
#include "actions/file_search.h"
#include "platform/file_facts.h"
#include "platform/long_operation.h"

namespace qv::win {

namespace {

// The result-variable name of a parameter that may be bare or between
// dollar signs.
std::string VariableName(const std::string& parameter) {
    std::string name = StripReference(parameter);
    return name.empty() ? parameter : name;
}

// The file functions read the expanded paths as text of the system code page.
std::string FilePath(RunContext& cx, const ScriptCommand& c, int n) {
    ::SetFileApisToANSI();
    return cx.ParamPath(c, n);
}

void DoesFileFolderExist(RunContext& cx, const ScriptCommand& c) {
    std::string path = FilePath(cx, c, 2);
    bool exists = cx.ParamBool(c, 3) ? FirstMatchIsFile(path) : FolderExists(path);
    cx.SetResult(cx.Param(c, 1), BoolText(exists), c);
}

void CheckDiskSpace(RunContext& cx, const ScriptCommand& c) {
    std::uint64_t bytes = DiskSpace(FilePath(cx, c, 2), cx.ParamBool(c, 3));
    cx.SetResult(VariableName(cx.Param(c, 1)), std::to_string(std::int64_t(bytes)), c);
}

void DeleteFilesRecursiveCommand(RunContext& cx, const ScriptCommand& c) {
    SystemFileView view;
    DeleteFilesRecursive(view, FilePath(cx, c, 1));
}

void FindAllFiles(RunContext& cx, const ScriptCommand& c) {
    SearchProgress progress(cx.progress.lock());
    std::string path = FilePath(cx, c, 1);
    bool subfolders = cx.ParamBool(c, 2), folders = cx.ParamBool(c, 3);
    std::string result = VariableName(cx.Param(c, 4));
    std::vector<std::string> found;
    auto work = [&] {
        SystemFileView view;
        found = RecursiveFileSearch(view, path, subfolders, folders, progress);
    };
    auto eachTurn = [&] {
        std::string text;
        int counter;
        {
            std::lock_guard<std::mutex> guard(progress.lock);
            text = progress.lastFile;
            counter = progress.counter;
        }
        cx.progress.Set(text, 0, 100, counter);
        progress.cancel = cx.cancelRequested.load();
    };
    RunLongOperation(cx, work, eachTurn);
    cx.SetResult(result, SearchResultText(found), c);
}

FileVersion VersionOf(const std::string& path) { return ReadFileVersion(path).value_or(FileVersion{0, 0, 0, 0}); }

void GetFileVersion(RunContext& cx, const ScriptCommand& c) {
    std::string file = FilePath(cx, c, 1);
    cx.SetResult(VariableName(cx.Param(c, 2)), VersionText(VersionOf(file)), c);
}

void CheckFileVersion(RunContext& cx, const ScriptCommand& c) {
    FileVersion version = VersionOf(FilePath(cx, c, 2));
    FileVersion reference = cx.ParamBool(c, 3) ? VersionOf(FilePath(cx, c, 4)) : ParseReferenceVersion(cx.ParamText(c, 5));
    cx.SetResult(cx.Param(c, 1), BoolText(VersionIsHigher(version, reference)), c);
}

}  // namespace

void RegisterFileCommands(CommandTable& table) {
    table.Add("Does File/Folder Exist", DoesFileFolderExist);
    table.Add("Check Disk Space", CheckDiskSpace);
    table.Add("Delete Files Recursive", DeleteFilesRecursiveCommand);
    table.Add("Find All Files", FindAllFiles);
    table.Add("Get File Version", GetFileVersion);
    table.Add("Check File Version", CheckFileVersion);
    RegisterDeferredFileCommands(table);
}

}  // namespace qv::win
