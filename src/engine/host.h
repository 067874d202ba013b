// What the engine needs from the world around it: the user interface and the
// system. The stub implements it over Win32; native tests implement it with
// plain data.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace qv {

class Host {
public:
    virtual ~Host() = default;

    // A message box without owner, caption "Quorvex", error icon.
    virtual void ShowError(const std::string& text) = 0;
    // The system message box owned by the window `owner` (0 for none) with
    // the system's style bits; the identifier of the button pressed.
    virtual int ShowMessageBox(std::uintptr_t owner, const std::string& text, const std::string& caption,
                               std::uint32_t style) = 0;
    // Handles the window messages that are pending.
    virtual void ProcessMessages() = 0;
    // Handles the next window message, waiting for one when none is pending.
    virtual void WaitForMessage() = 0;

    virtual bool FileExists(const std::string& path) = 0;
    virtual std::optional<std::string> ReadTextFile(const std::string& path) = 0;
    // Clears the file's attributes and replaces its content; false on failure.
    virtual bool WriteTextFile(const std::string& path, const std::string& content) = 0;
    // A new, empty, uniquely named file in the folder; its full path.
    virtual std::string CreateTempFile(const std::string& folder, const std::string& prefix) = 0;
    // The system's short (8.3) form of a path; empty when it has none.
    virtual std::string ShortPath(const std::string& path) = 0;
    // The name the file system reports for the last component of a path
    // (its long name); nothing when it does not exist.
    virtual std::optional<std::string> FindFileName(const std::string& path) = 0;

    // Facts that the session start publishes.
    virtual bool IsNtFamily() = 0;
    virtual bool IsAdministrator() = 0;
    virtual std::string ProgramFilesFolder() = 0;  // with a trailing backslash
    virtual std::string ProfileFolder() = 0;       // the parent of the documents folder, trailing backslash
    virtual std::string RegisteredOwner() = 0;
    virtual std::string RegisteredOrganization() = 0;
    virtual std::string ShortDateText() = 0;       // today, the system's short date format
    virtual std::string LongTimeText() = 0;        // now, the system's long time format
    // The application-data root: per-user, or for all users.
    virtual std::string ApplicationDataRoot(bool allUsers) = 0;
    // True when the installer reports the product installed (its default
    // state). Throws when the installer cannot be asked.
    virtual bool ProductIsInstalled(const std::string& productCode) = 0;
    // The installed product's package code; nothing when the query fails.
    virtual std::optional<std::string> InstalledPackageCode(const std::string& productCode) = 0;
    // "UninstallString" of the product's uninstall entry, from the machine's
    // or the current user's hive; empty when it cannot be read.
    virtual std::string UninstallString(const std::string& title, bool machineHive) = 0;

    // The value NAME under "SOFTWARE\Microsoft\Windows\CurrentVersion\Run\"
    // of the machine's or the current user's hive. Failures are ignored.
    virtual void WriteRunEntry(bool machineHive, const std::string& name, const std::string& command) = 0;
    virtual void DeleteRunEntry(bool machineHive, const std::string& name) = 0;
    // Asks the system to restart (reboot, not forced); the answer is not
    // checked.
    virtual void RequestRestart() = 0;
};

}  // namespace qv
