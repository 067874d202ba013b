// Project files are UTF-8 (JSON), while the package is 8-bit text in the
// Western code page the stub reads (Windows-1252, where "™" is byte 0x99).
#pragma once

#include <string>
#include <string_view>

namespace qv::kit {

// Converts UTF-8 text to Windows-1252. Throws KitError naming `what` for a
// character the code page has no byte for.
std::string Utf8ToAnsi(std::string_view utf8, std::string_view what);

}  // namespace qv::kit
