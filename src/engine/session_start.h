// The run's context published as variables before the first command, and the
// few of them refreshed before every command.
#pragma once

#include "engine/run_context.h"

namespace qv {

// Defines every predefined variable, builds the label table and applies the
// command-line presets. False when the run must end before its first command
// (no installer database or patch beside the expected path, or the language
// selection cancelled).
bool StartSession(RunContext& context);

// Reads SILENT and LOGGED back and rewrites DATE, TIME, LANGUAGE and
// UNINSTALLLINK.
void RefreshPerCommandVariables(RunContext& context);

}  // namespace qv
