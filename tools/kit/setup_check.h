// Reads the package of a finished setup (or a bare package file) and runs the
// validation pass the stub runs before the first command.
#pragma once

#include <filesystem>
#include <ostream>

namespace qv::kit {

// Prints "ok" or the failure to `out`. Returns 0 when the script passes, 1
// when it fails; throws KitError when the file cannot be read or carries no
// readable package.
int CheckSetup(const std::filesystem::path& file, std::ostream& out);

}  // namespace qv::kit
