#include "installer/apply_changes_plan.h"

namespace qv {

namespace {

std::string WithBackslash(std::string folder) {
    if (!folder.empty() && folder.back() != '\\') folder.push_back('\\');
    return folder;
}

}  // namespace

std::string PatchSourceFromUninstallString(std::string_view uninstallString) {
    std::string command(uninstallString);
    std::size_t first = command.find('"');
    if (first != std::string::npos) command.erase(first, 1);
    std::size_t next = command.find('"');
    if (next != std::string::npos) command.erase(next);
    std::size_t slash = command.find_last_of('\\');
    return slash == std::string::npos ? std::string() : command.substr(0, slash + 1);
}

std::string PatchPathOf(std::string_view databasePath) {
    std::string path(databasePath);
    std::size_t dot = path.find_last_of('.');
    if (dot != std::string::npos && path.find_first_of("\\/", dot) == std::string::npos) path.erase(dot);
    return path + ".msp";
}

bool MustSearchForSources(const SourceCheck& check, const std::function<bool(const std::string& file)>& fileExists) {
    const std::string& folder = check.mediaMode == 3 ? check.patchSourceFolder : check.dataFolder;
    if (fileExists(folder + check.productCode)) return false;
    return (check.maintenance || check.patch) && check.mediaMode != 2 && (check.patch || check.install);
}

std::optional<std::string> AcceptedSourceFolder(const std::string& chosenFolder, const std::string& productCode,
                                                const std::function<bool(const std::string& file)>& fileExists) {
    std::string folder = WithBackslash(chosenFolder);
    if (fileExists(folder + productCode)) return folder;
    if (fileExists(folder + "data\\" + productCode)) return folder + "data\\";
    return std::nullopt;
}

}  // namespace qv
