// Access rights of folders the stub creates for every user of the machine.
#pragma once

#include <string>

namespace qv::win {

// Gives the folder a protected access list: full control for the system
// and the administrators, read and run for the users; its files and
// subfolders inherit it. False when the system refuses.
bool RestrictToAdministrators(const std::string& folder);

}  // namespace qv::win
