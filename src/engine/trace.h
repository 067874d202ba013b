// The diagnostic trace, off unless the command line names a file with
// "/trace=": it records what a run did, silent runs included, so that an
// author can see why a setup ended as it did.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace qv {

class Trace {
public:
    Trace() = default;
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;
    ~Trace();

    // Starts a new trace file; a file that cannot be created leaves it off.
    void Open(const std::string& path);
    bool enabled() const { return file_ != nullptr; }
    // One line; CR and LF inside it are written as "$NEWLINE$" or dropped.
    void Line(std::string_view text);

private:
    std::FILE* file_ = nullptr;
};

}  // namespace qv
