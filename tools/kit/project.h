// A project description (JSON) and the setup script it maps to. The format is
// documented with a complete example in README.md beside this file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "bootstrap/package.h"
#include "dialogs.h"
#include "translations.h"

namespace qv::kit {

// How the support folder is packed into the resource archive. The default is
// the archiver's own: LZMA2, solid, compressed header.
enum class ResourceMethod { Default, Copy, Lzma, Lzma2 };

struct KitProject {
    std::string setupName;  // the setup's file name without ".exe"
    SetupScript script;
    // "database" for a code: taken from the installer database the kit builds
    // (its ProductCode property, its package code).
    bool productCodeFromDatabase = false;
    bool revisionCodeFromDatabase = false;
    // Empty when the project does not name them; else resolved against the
    // folder of the project file.
    std::filesystem::path supportFolder;
    std::filesystem::path wixSource;
    // Run on the database that wixl built, in order (the "database" object).
    std::vector<std::string> databaseEdits;
    std::filesystem::path messageFile;
    std::filesystem::path dataFolder;
    ResourceMethod resourceMethod = ResourceMethod::Default;
    KitTranslations translations;
    std::vector<KitDialog> dialogs;
};

// Throws KitError with a one-line text naming the offending field.
KitProject ProjectFromJson(const nlohmann::json& project, const std::filesystem::path& baseDir);

// Reads and maps a project file; relative paths resolve against its folder.
KitProject ReadProjectFile(const std::filesystem::path& file);

}  // namespace qv::kit
