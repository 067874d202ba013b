// The shell's folder picker, for a run whose setup sources are missing.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qv::win {

// File-system folders only, new dialog style, over the owner window; the
// chosen folder, or nothing when the user cancels.
std::optional<std::string> ChooseFolder(const std::string& title, std::uintptr_t owner);

}  // namespace qv::win
