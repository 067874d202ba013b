#include "bootstrap/workspace.h"

#include <stdexcept>

#include "platform/files.h"

namespace qv::win {

namespace {

// Far more folders than any machine leaves behind; past it the temporary
// folder is not writable and start-up fails with a clear text.
constexpr int kMaxWorkspaceNumber = 100000;

}  // namespace

std::string CreateWorkspace(const std::string& tempFolder) {
    for (int n = 1; n <= kMaxWorkspaceNumber; ++n) {
        std::string path = tempFolder + "zor" + std::to_string(n);
        if (DirectoryExists(path)) continue;
        if (CreateNewDirectory(path)) return path + "\\";
    }
    throw std::runtime_error("Cannot create a working folder in " + tempFolder);
}

void RemoveWorkspace(const std::string& workspace) {
    if (workspace.empty() || !DirectoryExists(workspace)) return;
    for (int pass = 0; pass < 3; ++pass) DeleteTree(workspace);
    std::string folder = workspace;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    RemoveFolder(folder);
}

}  // namespace qv::win
