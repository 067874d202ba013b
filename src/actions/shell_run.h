// Starting a program, document or address through the shell.
#pragma once

#include <string>

namespace qv::win {

inline constexpr unsigned long kStillRunning = 259;

// Starts the file with the verb "open" (or, when the shell refuses it, its
// default verb), shown normally or hidden. When waiting, keeps the
// application's messages moving until the process ends. Returns the exit
// code, or 259 while it still runs; throws ScriptError when nothing starts.
unsigned long ShellRun(const std::string& file, const std::string& arguments, bool show, bool wait);

}  // namespace qv::win
