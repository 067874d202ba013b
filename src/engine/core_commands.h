// The commands the interpreter implements itself: Set Variable, Comment and
// Label (the last two do nothing when they run).
#pragma once

#include "engine/script_engine.h"

namespace qv {

void RegisterCoreCommands(CommandTable& table);

}  // namespace qv
