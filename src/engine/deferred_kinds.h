// The commands that only record installer properties for the installer run
// instead of acting at once. Each owns a header key K that names its
// installer properties "A" + K and "P" + K + "_n".
#pragma once

#include <string_view>

namespace qv {

inline constexpr std::string_view kDeferredKinds[] = {
    "Delete Files",        "Copy/Move Local Files", "Create Folder",       "Create Shortcut",
    "Advertised Shortcut", "Edit INI File",         "Install Files",       "Install Assembly",
    "Set Environment",     "Install Service",       "Install ODBC Driver", "Create ODBC DSN",
    "Control Service",     "Write Registry",        "Create File Type",    "Advertised File Type",
};

inline bool IsDeferredKind(std::string_view commandName) {
    for (std::string_view kind : kDeferredKinds)
        if (commandName == kind) return true;
    return false;
}

}  // namespace qv
