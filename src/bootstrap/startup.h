// The stub's start-up and shutdown: from the command line to the exit code.
#pragma once

namespace qv::win {

// Runs the whole setup; returns the process exit code.
int RunSetup();

}  // namespace qv::win
