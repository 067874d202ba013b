// Turns an entry's stored path into folder and file names below the target
// folder, refusing every path that could end up outside it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qv::sevenzip {

// Both '/' and '\' separate names. Empty and "." names are dropped and ".."
// removes the name before it. Throws ArchiveError(UnsafePath) for a path that
// is absolute or a UNC path, names a drive or a stream (any ':'), climbs
// above the target with "..", consists of dots and blanks that Windows would
// read as ".." or as nothing, names a Windows device ("CON", "lpt1.txt"), or
// leaves no name at all.
std::vector<std::string> SafeEntryPath(std::string_view path);

}  // namespace qv::sevenzip
