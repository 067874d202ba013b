// One installer run: the worker thread TMSIThread drives the installer
// while the main thread keeps the wizard alive, forwards the user's cancel
// and leaves the progress display to what the installer reports.
#pragma once

#include <string>

#include "engine/run_context.h"
#include "installer/installer_outcome.h"
#include "installer/installer_plan.h"

namespace qv::win {

struct InstallerRunReturn {
    InstallerOutcome outcome = InstallerOutcome::Failed;
    std::string errorText;
};

// Returns only when the worker is done, so two runs never overlap. While it
// runs, the dialog file's folder is the current directory.
InstallerRunReturn RunInstaller(RunContext& context, const InstallerRunRequest& request);

}  // namespace qv::win
