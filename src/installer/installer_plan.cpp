#include "installer/installer_plan.h"

#include "common/text.h"
#include "engine/variable_store.h"

namespace qv {

RunSettings ReadRunSettings(std::string_view variablesText) {
    RunSettings settings;
    std::vector<std::string> items = DecodeList(variablesText);
    for (std::size_t i = 0; i + 1 < items.size(); i += 2) {
        std::string name = UpperAscii(items[i]);
        const std::string& value = items[i + 1];
        if (name == "SILENT") settings.silent = UpperAscii(value) == "TRUE";
        if (name == "TITLE") settings.caption = value;
        if (name == "ALLUSERS") settings.allUsers = value == "TRUE";
    }
    return settings;
}

std::optional<std::string> RunDirectory(const InstallerRunRequest& request) {
    std::string folder = FolderOfPath(request.dialogFile);
    if (folder.empty()) return std::nullopt;
    return folder;
}

std::string HandoverFilePath(std::string_view tempFolder, std::string_view productCode) {
    std::string path(tempFolder);
    if (path.empty() || path.back() != '\\') path.push_back('\\');
    return path + std::string(productCode);
}

}  // namespace qv
