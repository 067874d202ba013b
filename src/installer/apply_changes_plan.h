// The decisions of "Apply Changes" and "Apply Patch" before the installer
// runs: where an installed copy's sources are, whether the setup's sources
// must be searched for, and which folder a search accepts.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

// The folder of the program that an uninstall entry starts: the first double
// quote dropped and everything from the next one on, then the folder part
// with a trailing backslash; empty when nothing remains.
std::string PatchSourceFromUninstallString(std::string_view uninstallString);

// The patch that the start-up copied beside the database: the same folder
// and base name with the extension ".msp".
std::string PatchPathOf(std::string_view databasePath);

struct SourceCheck {
    bool patch = false;            // "Apply Patch"
    bool install = false;          // "Apply Changes" parameter 3 is true
    bool maintenance = false;      // MAINTENANCE is true
    int mediaMode = 1;
    std::string productCode;       // the code the run started with: the sources are marked with it
    std::string dataFolder;
    std::string patchSourceFolder;
};

// The sources are there when their folder holds a file named after the
// product code: the installed copy's folder for media mode 3, else the data
// folder. Only a maintenance or patch run that installs, with media other
// than the product cache (mode 2), asks for missing sources.
bool MustSearchForSources(const SourceCheck& check, const std::function<bool(const std::string& file)>& fileExists);

// A chosen folder F is accepted when F\P or F\data\P exists; the run's data
// folder then becomes F\ or F\data\ respectively.
std::optional<std::string> AcceptedSourceFolder(const std::string& chosenFolder, const std::string& productCode,
                                                const std::function<bool(const std::string& file)>& fileExists);

}  // namespace qv
