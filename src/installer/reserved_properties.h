// Installer property names that a script variable must never set: the
// installer owns them, or the setup passes them on its own command line. The
// property hand-over file leaves variables of these names out.
#pragma once

#include <string_view>
#include <vector>

namespace qv {

// The fixed list in its order, two names (ORIGINALDATABASE, VERSIONMSI)
// occurring twice; a few keep mixed-case spellings.
const std::vector<std::string_view>& ReservedPropertyNames();

// True when the variable name is in the list, letter case ignored.
bool IsReservedPropertyName(std::string_view variableName);

}  // namespace qv
