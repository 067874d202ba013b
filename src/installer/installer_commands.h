// The script commands of the installer bridge that run the installer or
// prepare its database: "Apply Changes", "Apply Patch", "Transform Instance".
#pragma once

#include "engine/script_engine.h"

namespace qv::win {

void RegisterInstallerCommands(CommandTable& table);

}  // namespace qv::win
