// Staging of the archive format and codec libraries: the stub carries them
// as resources and writes them to disk before anything else runs; the
// archive library finds them through the "Path" value written last.
#pragma once

#include <windows.h>

#include <string>

namespace qv::win {

// Writes the libraries of the stub's own image under
// ApplicationDataRoot(false) + "Seven Zip\". The result is not used by any
// caller: a failure shows later, when archives cannot be opened.
bool StageArchiveCodecs();

// The same from the resources of module into folder (trailing backslash),
// which "Path" then names.
bool StageArchiveCodecsFrom(HMODULE module, const std::string& folder);

}  // namespace qv::win
