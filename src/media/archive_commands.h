// "Extract 7Zip Archive" and "Run Light Mode Setup".
#pragma once

#include "engine/script_engine.h"

namespace qv::win {

void RegisterArchiveCommands(CommandTable& table);

// The progress text of an extraction: the entry's file name, ", " and the
// percentage done (done × 100 div total + 1) with "% complete".
std::string ExtractionStatus(const std::string& entry, std::uint64_t done, std::uint64_t total, int& percentage);

}  // namespace qv::win
