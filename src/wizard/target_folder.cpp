#include "wizard/target_folder.h"

#include "common/text.h"

namespace qv {

namespace {

std::string WithBackslash(std::string path) {
    while (EndsWith(path, "\\")) path.pop_back();
    return path + "\\";
}

// One step up: drop a trailing backslash, then the last name, keeping the
// separator (a backslash or a drive's colon) and ending with one backslash.
std::string Parent(std::string path) {
    if (EndsWith(path, "\\")) path.pop_back();
    const std::size_t at = path.find_last_of("\\:");
    if (at == std::string::npos) return std::string();
    path.resize(at + 1);
    if (!EndsWith(path, "\\")) path += '\\';
    return path;
}

}  // namespace

TargetCapture CaptureTargetFolder(const std::string& targetDir, const FolderExists& folderExists) {
    TargetCapture capture{targetDir, std::string()};
    std::string existing = targetDir;
    while (!existing.empty() && !folderExists(existing)) {
        std::string up = Parent(existing);
        if (up == existing) break;
        existing = std::move(up);
    }
    if (!existing.empty()) {
        const std::size_t n = WithBackslash(existing).size();
        if (n < targetDir.size()) capture.tail = targetDir.substr(n);
    }
    return capture;
}

std::string BrowsedTargetFolder(const TargetCapture& capture, const std::string& picked) {
    if (picked.empty()) return std::string();
    const std::string& base = capture.folder.empty() ? picked : capture.folder;
    // Inside the picked folder only on a name boundary: picking D:\App must
    // not keep D:\Apps\Acme.
    const std::string folder = WithBackslash(picked);
    if (Upper8Bit(WithBackslash(base).substr(0, folder.size())) == Upper8Bit(folder)) return base;
    return folder + capture.tail;
}

}  // namespace qv
