// Commands that compute text and numbers: strings, paths, arithmetic with a
// small random generator, text files, temporary file names.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/script_engine.h"
#include "engine/value_state.h"

namespace qv {

void RegisterValueCommands(CommandTable& table);

// The two parts of Parse String for one mode (0 first occurrence, 1 last
// occurrence, 2 count from the left, 3 count from the right).
struct StringParts {
    std::string first;
    std::string second;
};
StringParts SplitString(const std::string& source, const std::string& delimiter, int mode, bool ignoreCase);

// Part n of a path (0 file name ... 6 doubled backslashes reduced).
std::string PathPart(const std::string& path, int part);

// Mathematics: the result text, or nothing when the computation fails.
std::optional<std::string> Calculate(const std::string& a, const std::string& b, int code, RandomState& random);

}  // namespace qv
