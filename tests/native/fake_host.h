// A host of plain data for the engine tests: what the engine showed is kept,
// the system facts are fields.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "common/text.h"
#include "engine/host.h"
#include "engine/run_context.h"

namespace qv::testing {

// Windows paths compare without regard to letter case.
struct PathLess {
    bool operator()(const std::string& a, const std::string& b) const { return UpperAscii(a) < UpperAscii(b); }
};

class FakeHost : public Host {
public:
    std::vector<std::string> errors;
    std::map<std::string, std::string, PathLess> files;  // path → content
    bool admin = true;
    std::map<std::string, std::string> runEntries;  // "HKLM\\name" or "HKCU\\name" → command
    int restarts = 0;
    std::map<std::string, std::string> longNames;   // path → name the file system reports
    int tempFiles = 0;
    std::string installedPackageCode;          // empty: product not installed
    struct MessageBoxCall {
        std::uintptr_t owner;
        std::string text, caption;
        std::uint32_t style;
    };
    std::vector<MessageBoxCall> messageBoxes;
    int messageBoxAnswer = 1;

    void ShowError(const std::string& text) override { errors.push_back(text); }
    int ShowMessageBox(std::uintptr_t owner, const std::string& text, const std::string& caption,
                       std::uint32_t style) override {
        messageBoxes.push_back({owner, text, caption, style});
        return messageBoxAnswer;
    }
    void ProcessMessages() override {}
    void WaitForMessage() override {}
    bool FileExists(const std::string& path) override { return files.count(path) != 0; }
    std::optional<std::string> ReadTextFile(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
    bool WriteTextFile(const std::string& path, const std::string& content) override {
        files[path] = content;
        return true;
    }
    std::string CreateTempFile(const std::string& folder, const std::string& prefix) override {
        std::string path = folder + prefix + std::to_string(++tempFiles) + ".tmp";
        files[path] = "";
        return path;
    }
    std::string ShortPath(const std::string& path) override { return FileExists(path) ? "SHORT~1" : ""; }
    std::optional<std::string> FindFileName(const std::string& path) override {
        auto it = longNames.find(path);
        if (it == longNames.end()) return std::nullopt;
        return it->second;
    }
    void WriteRunEntry(bool machine, const std::string& name, const std::string& command) override {
        runEntries[(machine ? "HKLM\\" : "HKCU\\") + name] = command;
    }
    void DeleteRunEntry(bool machine, const std::string& name) override {
        runEntries.erase((machine ? "HKLM\\" : "HKCU\\") + name);
    }
    void RequestRestart() override { ++restarts; }
    bool IsNtFamily() override { return true; }
    bool IsAdministrator() override { return admin; }
    std::string ProgramFilesFolder() override { return "C:\\Program Files\\"; }
    std::string ProfileFolder() override { return "C:\\Users\\me\\"; }
    std::string RegisteredOwner() override { return "Owner"; }
    std::string RegisteredOrganization() override { return "Org"; }
    std::string ShortDateText() override { return "12/11/2026"; }
    std::string LongTimeText() override { return "1:02:03 PM"; }
    std::string ApplicationDataRoot(bool allUsers) override {
        return allUsers ? "C:\\ProgramData\\Application Data\\" : "C:\\Users\\me\\Application Data\\";
    }
    bool ProductIsInstalled(const std::string&) override { return !installedPackageCode.empty(); }
    std::optional<std::string> InstalledPackageCode(const std::string&) override { return installedPackageCode; }
    std::map<std::string, std::string> uninstallStrings;  // "HKLM" or "HKCU" → command
    std::string UninstallString(const std::string&, bool machine) override {
        auto it = uninstallStrings.find(machine ? "HKLM" : "HKCU");
        return it == uninstallStrings.end() ? std::string() : it->second;
    }
};

// A setup started as C:\Setup\Setup.exe with its workspace C:\Temp\zor1\.
inline StartupValues TestStartupValues(const std::string& commandLine = "setup.exe") {
    StartupValues v;
    v.exePath = "C:\\Setup\\Setup.exe";
    v.setupFolder = "C:\\Setup\\";
    v.setupName = "Setup";
    v.tempFolder = "C:\\Temp\\";
    v.workspace = "C:\\Temp\\zor1\\";
    v.version = "1.2.3.4";
    v.databasePath = "C:\\Temp\\zor1\\Setup.msi";
    v.commandLine = ParseCommandLine(commandLine);
    return v;
}

}  // namespace qv::testing
