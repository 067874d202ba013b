// Errors carry the system's own texts; the engine and start-up report them.
#pragma once

#include <stdexcept>
#include <string>

namespace qv {

// An error raised while a script command runs: the engine shows it once as a
// runtime error and ends the run.
class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A parallel list or the parameter store read past its end.
class ListIndexError : public ScriptError {
public:
    explicit ListIndexError(long index)
        : ScriptError("List index out of bounds (" + std::to_string(index) + ")") {}
};

}  // namespace qv
