// The target folder as a page sees it: captured from TARGETDIR each time a
// page is shown, split into the deepest folder that exists and the tail
// below it that the setup will create, so that a folder the user browses to
// keeps the product's own sub-folders.
#pragma once

#include <functional>
#include <string>

namespace qv {

struct TargetCapture {
    std::string folder;  // the expanded TARGETDIR, empty without one
    std::string tail;    // the part of `folder` below its deepest existing folder
};

using FolderExists = std::function<bool(const std::string& path)>;

// `targetDir` is the expanded TARGETDIR (empty when it does not exist).
TargetCapture CaptureTargetFolder(const std::string& targetDir, const FolderExists& folderExists);

// The text the target folder edits get when the user picks `picked`: the
// captured folder when it already lies inside the picked one, else the
// picked folder with the captured tail; empty for an empty pick.
std::string BrowsedTargetFolder(const TargetCapture& capture, const std::string& picked);

}  // namespace qv
