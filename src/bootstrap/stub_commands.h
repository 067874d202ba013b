// Every command family the stub carries, in one table.
#pragma once

#include "engine/script_engine.h"

namespace qv::win {

const CommandTable& StubCommands();

}  // namespace qv::win
