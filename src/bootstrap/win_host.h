// The engine's host on Windows: message boxes, the message pump and the
// system facts, over the platform layer.
#pragma once

#include "engine/host.h"

namespace qv::win {

class WinHost : public Host {
public:
    void ShowError(const std::string& text) override;
    int ShowMessageBox(std::uintptr_t owner, const std::string& text, const std::string& caption,
                       std::uint32_t style) override;
    void ProcessMessages() override;
    void WaitForMessage() override;
    bool FileExists(const std::string& path) override;
    std::optional<std::string> ReadTextFile(const std::string& path) override;
    bool WriteTextFile(const std::string& path, const std::string& content) override;
    std::string CreateTempFile(const std::string& folder, const std::string& prefix) override;
    std::string ShortPath(const std::string& path) override;
    std::optional<std::string> FindFileName(const std::string& path) override;
    bool IsNtFamily() override;
    bool IsAdministrator() override;
    std::string ProgramFilesFolder() override;
    std::string ProfileFolder() override;
    std::string RegisteredOwner() override;
    std::string RegisteredOrganization() override;
    std::string ShortDateText() override;
    std::string LongTimeText() override;
    std::string ApplicationDataRoot(bool allUsers) override;
    bool ProductIsInstalled(const std::string& productCode) override;
    std::optional<std::string> InstalledPackageCode(const std::string& productCode) override;
    std::string UninstallString(const std::string& title, bool machineHive) override;
    void WriteRunEntry(bool machineHive, const std::string& name, const std::string& command) override;
    void DeleteRunEntry(bool machineHive, const std::string& name) override;
    void RequestRestart() override;
};

// A message box with the caption "Quorvex" and the error icon.
void ShowErrorBox(HWND owner, const std::string& text);

}  // namespace qv::win
