// The file and folder commands: the immediate tests, searches and deletions
// that act while the script runs, and the deferred file commands.
#pragma once

#include "engine/script_engine.h"

namespace qv::win {

void RegisterFileCommands(CommandTable& table);

}  // namespace qv::win
