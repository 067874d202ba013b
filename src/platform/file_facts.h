// What the file commands ask of the file system: matches of a path, volume
// space, version resources, restart deletion, the screen's resolution and
// the folder picker. Paths are 8-bit text in the system code page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "actions/file_paths.h"
#include "actions/file_search.h"
#include "engine/run_context.h"

namespace qv::win {

// The folders of the system, listed with FindFirstFile.
class SystemFileView : public FileSystemView {
public:
    std::vector<DirectoryEntry> List(const std::string& folder, const std::string& mask) override;
    bool DeleteFileAt(const std::string& path) override;
    bool RemoveEmptyFolder(const std::string& path) override;
};

// True when the first directory entry matching the path (wildcards
// allowed) exists and is not a folder.
bool FirstMatchIsFile(const std::string& path);
bool FolderExists(const std::string& path);
// Creates the folder and every missing parent.
bool MakeFolders(const std::string& path);

// The volume holding the path as given: free bytes available to the caller,
// or its total size; 0 when the query fails.
std::uint64_t DiskSpace(const std::string& path, bool freeSpace);
// Free bytes available to the caller on the drive of the path (its first
// three characters, or a network path's share); 0 on failure.
std::uint64_t FreeDiskSpace(const std::string& path);

// The component figures' available space: free bytes on the drive of
// TARGETDIR, -1 when TARGETDIR is empty or not defined.
std::int64_t AvailableSpace(const VariableStore& vars);
// Available space minus the space the selected components require.
std::int64_t RemainingSpace(const RunContext& context);

// The fixed file version; nothing when the file has no version resource.
std::optional<FileVersion> ReadFileVersion(const std::string& path);

// Deletes the file (or empty folder) at the next restart: through the
// system's pending renames on the NT family, through "wininit.ini" on the
// older one.
bool DeleteOnRestart(const std::string& path);

// Logical pixels per inch of the screen, -1 without a screen device context.
int ScreenDpi();

// The shell's folder picker (file-system folders, new dialog style). An
// empty root shows the whole namespace. Nothing when the user cancels.
std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& rootFolder, void* ownerWindow);

}  // namespace qv::win
