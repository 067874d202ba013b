// Makes a finished setup in a folder: the stub with the package behind its
// image, the resource archive, the installer database, the archive library
// with the message file behind its image, and the data folder.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "project.h"

namespace qv::kit {

struct BuildTools {
    std::filesystem::path stub;        // the runtime executable
    std::filesystem::path archiveLib;  // zor.dll
};

// Everything is made in a staging folder inside `outDir` and moved into place
// only when every part succeeded, so a failed build leaves `outDir` as it was.
// Returns the names written into `outDir`. Throws KitError.
std::vector<std::string> BuildSetup(const KitProject& project, const std::filesystem::path& outDir,
                                    const BuildTools& tools);

}  // namespace qv::kit
