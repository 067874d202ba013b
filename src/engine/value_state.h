// The state the value commands keep across commands of one run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qv {

// The random generator of Mathematics; all zero when the process starts.
struct RandomState {
    std::int32_t multiplier = 0;
    std::int32_t increment = 0;
    std::int32_t state = 0;
};

// The one text file open for reading, remembered by its path.
struct ReadingFile {
    bool open = false;
    std::string path;
    std::vector<std::string> lines;
    std::size_t next = 0;
};

}  // namespace qv
