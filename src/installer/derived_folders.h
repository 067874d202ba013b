// The folders an installer run passes to the installer, in the forms the
// installer's command line can carry: short (8.3) forms where the system has
// them, and flags that say which of them still need double quotes.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "installer/installer_plan.h"

namespace qv {

struct FolderQueries {
    std::function<bool(const std::string& folder)> folderExists;
    // The short form of an existing path as the system gives it (a trailing
    // backslash kept), or nothing when the system cannot give one.
    std::function<std::optional<std::string>(const std::string& path)> shortForm;
};

struct DerivedFolders {
    std::string msiFolder;          // the package's folder, trailing backslash
    std::string dataFolder;
    std::string patchSourceFolder;
    std::string mediaPath;          // see MediaPathOf
    std::string sourceList;         // data folder ";" MSI folder, quoted as a whole when either flag is set
    bool quoteMsi = false;          // the MSI folder has no short form, or it has a space
    bool quoteData = false;         // a data or patch source folder could not be shortened, or has a space
};

// Folders that do not exist are not shortened and do not set the data flag;
// for a normal run the caller therefore creates the data folder (with its
// parents) before calling. A patch run shortens its patch source folder too.
DerivedFolders DeriveFolders(const InstallerRunRequest& request, const FolderQueries& queries);

// The parent of the data folder, trailing backslash, without its drive (a
// drive letter and colon, or a network server and share): the installer
// looks for media relative to the source's root. C:\Setup\data\ gives \Setup\.
std::string MediaPathOf(std::string_view dataFolder);

}  // namespace qv
