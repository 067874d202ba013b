// The file commands that Windows Installer carries out during the installer
// run: "Create Folder", "Copy/Move Local Files", "Delete Files" and "Install
// Files". They only record the installer properties of their database rows.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "engine/script_engine.h"

namespace qv {

// Makes a command's media block available in the data folder. Nothing on
// success, otherwise the message to show.
using MediaFetcher = std::function<std::optional<std::string>(RunContext&, const ScriptCommand&)>;

// Without a fetcher, "Install Files" takes the media of its block as present.
void RegisterDeferredFileCommands(CommandTable& table, MediaFetcher fetchMedia = {});

}  // namespace qv
