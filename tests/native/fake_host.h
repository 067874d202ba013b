// A host of plain data for the engine tests: what the engine showed is kept,
// the system facts are fields.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "engine/host.h"

namespace qv::testing {

class FakeHost : public Host {
public:
    std::vector<std::string> errors;
    std::map<std::string, std::string> files;  // path → content
    bool admin = true;
    std::string installedPackageCode;          // empty: product not installed

    void ShowError(const std::string& text) override { errors.push_back(text); }
    void ProcessMessages() override {}
    void WaitForMessage() override {}
    void SetProgress(const std::string&, std::int64_t, std::int64_t, std::int64_t) override {}
    bool FileExists(const std::string& path) override { return files.count(path) != 0; }
    std::optional<std::string> ReadTextFile(const std::string& path) override {
        auto it = files.find(path);
        if (it == files.end()) return std::nullopt;
        return it->second;
    }
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
    std::string UninstallString(const std::string&, bool) override { return {}; }
};

}  // namespace qv::testing
