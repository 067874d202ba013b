// The running module: its file, its version and the end of its image.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace qv::win {

std::string ModuleFileName(HMODULE module);
// The end of the module's image (the largest section end in its file).
std::uint32_t ImageSize(HMODULE module);
// "major.minor.release.build" of a file's version resource; "0.0.0.0"
// without one.
std::string FileVersionText(const std::string& path);
// Major and minor version of a file; false without version information.
bool FileVersion(const std::string& path, unsigned& major, unsigned& minor);

}  // namespace qv::win
