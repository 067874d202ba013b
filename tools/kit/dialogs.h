// Dialogs in a project description: each names a text form, compiled by the
// kit into the dialog file the stub pre-loads (NAME.dfm), and the page's
// rules (NAME.dfm.zorf, one rule a line), both packed into the resource
// archive beside the support folder's files.
#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace qv::kit {

struct KitDialog {
    std::string name;             // the "Display Dialog" parameter 1
    std::filesystem::path form;   // the text form
    std::vector<std::string> rules;
};

// The "dialogs" array; throws KitError naming the entry at fault.
std::vector<KitDialog> DialogsFromJson(const nlohmann::json& dialogs, const std::filesystem::path& baseDir);

// File name and bytes of every dialog file and rules file. Throws KitError
// naming the form file for a form that does not compile.
std::vector<std::pair<std::string, std::string>> DialogFiles(const std::vector<KitDialog>& dialogs);

}  // namespace qv::kit
