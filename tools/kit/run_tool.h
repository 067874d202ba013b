// Runs one of the outside tools the kit drives (7zz, wixl) without a shell.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace qv::kit {

// Runs argv[0] (searched on PATH) in `folder` and waits for it; returns what
// it printed. Throws KitError with the tool's own output when it cannot start
// or fails.
std::string RunTool(const std::vector<std::string>& argv, const std::filesystem::path& folder);

}  // namespace qv::kit
