// The per-run folder: temporary folder + "zor" + N + "\".
#pragma once

#include <string>

namespace qv::win {

// Creates the workspace under the temporary folder. The folder is made with a
// create that fails when the name exists, trying N = 1, 2, ..., so a folder
// that someone else makes at the same moment is never shared. Throws when no
// folder can be made.
std::string CreateWorkspace(const std::string& tempFolder);

// Empties the workspace three times (a file still held open by a closing
// program may go on a later pass) and removes it.
void RemoveWorkspace(const std::string& workspace);

}  // namespace qv::win
