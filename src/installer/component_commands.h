// The script's component commands: defining components, their selection and
// sizes, saving and loading a selection, and whether a product is installed.
#pragma once

#include <string>

#include "engine/script_engine.h"

namespace qv {

void RegisterComponentCommands(CommandTable& table);

// Writes the feature selection file from the components and the current
// TARGETDIR, ALLUSERS and STARTMENU; the product cache's copy also carries
// the short form of the data folder. Reading one of the three variables
// when it does not exist raises the engine's undefined-variable error.
void SaveSelections(RunContext& context, const std::string& path, bool forCache);

// Loads a selection file in update mode; nothing when it does not exist.
void LoadSelections(RunContext& context, const std::string& path);

}  // namespace qv
