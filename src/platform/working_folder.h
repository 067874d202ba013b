// The process's working folder changed for a scope and put back afterwards.
#pragma once

#include <windows.h>

#include <string>

namespace qv::win {

class WorkingFolder {
public:
    explicit WorkingFolder(const std::string& folder) {
        char previous[MAX_PATH * 2] = {};
        const DWORD n = ::GetCurrentDirectoryA(sizeof previous, previous);
        if (n > 0 && n < sizeof previous) previous_ = previous;
        if (!folder.empty()) ::SetCurrentDirectoryA(folder.c_str());
    }
    ~WorkingFolder() {
        if (!previous_.empty()) ::SetCurrentDirectoryA(previous_.c_str());
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    std::string previous_;
};

}  // namespace qv::win
