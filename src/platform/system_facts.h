// What the session start asks of the system: its family, the user's rights,
// folder locations, the registered owner, date and time.
#pragma once

#include <string>

namespace qv::win {

bool IsNtFamily();
// Member of the local Administrators group (with the group enabled in the
// process token).
bool IsAdministrator();
// A shell folder by its CSIDL number, trailing backslash; empty when the
// system has none.
std::string ShellFolder(int csidl);
std::string ParentFolder(const std::string& folder);  // trailing backslash kept
std::string ProgramFilesFolder();
std::string ProfileFolder();
std::string ApplicationDataRoot(bool allUsers);
std::string RegisteredOwner();
std::string RegisteredOrganization();
std::string ShortDateText();
std::string LongTimeText();
std::string SystemFolder();

}  // namespace qv::win
