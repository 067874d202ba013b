// Ending the run early: Terminate Install, Terminate with Exit Code, Reboot
// Computer, Reboot and Resume.
#pragma once

#include <string>

#include "engine/script_engine.h"

namespace qv {

void RegisterTerminationCommands(CommandTable& table);

// The name of the resume value: the eight hexadecimal digits after the
// product code's opening brace.
std::string ResumeEntryName(const std::string& productCode);

// The command that restarts the setup: the self-extracting package when the
// setup came from one, else the executable, then the command-line tail.
std::string ResumeCommand(const std::string& exePath, const std::string& sfxPath, const std::string& tail);

}  // namespace qv
