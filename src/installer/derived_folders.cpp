#include "installer/derived_folders.h"

#include "common/text.h"
namespace qv {

namespace {

bool HasSpace(const std::string& path) { return path.find(' ') != std::string::npos; }

// Replaces the folder by its short form; true when that failed or the short
// form still needs quotes on a command line.
bool Shorten(std::string& folder, const FolderQueries& queries) {
    std::optional<std::string> shortForm = queries.shortForm(folder);
    if (!shortForm) return true;
    folder = std::move(*shortForm);
    return HasSpace(folder);
}

// "C:" or "\\server\share"; empty for a path without a drive.
std::size_t DriveLength(std::string_view path) {
    if (path.size() >= 2 && path[1] == ':') return 2;
    if (path.size() < 2 || path[0] != '\\' || path[1] != '\\') return 0;
    std::size_t server = path.find('\\', 2);
    if (server == std::string_view::npos) return path.size();
    std::size_t share = path.find('\\', server + 1);
    return share == std::string_view::npos ? path.size() : share;
}

}  // namespace

std::string MediaPathOf(std::string_view dataFolder) {
    if (!dataFolder.empty() && dataFolder.back() == '\\') dataFolder.remove_suffix(1);
    std::size_t slash = dataFolder.find_last_of('\\');
    std::string_view parent = slash == std::string_view::npos ? std::string_view() : dataFolder.substr(0, slash + 1);
    return std::string(parent.substr(DriveLength(parent)));
}

DerivedFolders DeriveFolders(const InstallerRunRequest& request, const FolderQueries& queries) {
    DerivedFolders folders;
    folders.msiFolder = FolderOfPath(request.packagePath);
    if (folders.msiFolder.empty()) folders.msiFolder = "\\";
    folders.quoteMsi = Shorten(folders.msiFolder, queries);

    folders.dataFolder = request.dataFolder;
    folders.patchSourceFolder = request.patchSourceFolder;
    if (request.patch && queries.folderExists(folders.patchSourceFolder))
        folders.quoteData = Shorten(folders.patchSourceFolder, queries);
    if (queries.folderExists(folders.dataFolder) && Shorten(folders.dataFolder, queries)) folders.quoteData = true;

    folders.mediaPath = MediaPathOf(folders.dataFolder);
    folders.sourceList = folders.dataFolder + ";" + folders.msiFolder;
    if (folders.quoteData || folders.quoteMsi) folders.sourceList = "\"" + folders.sourceList + "\"";
    return folders;
}

}  // namespace qv
