#include "installer/product_registration.h"

#include <windows.h>

#include "common/text.h"
#include "common/errors.h"
#include "installer/component_commands.h"
#include "installer/components.h"
#include "installer/installer_database.h"
#include "installer/product_registration_values.h"
#include "platform/file_facts.h"
#include "platform/files.h"
#include "platform/folder_security.h"
#include "platform/registry.h"

namespace qv::win {

namespace {

std::string FullPath(const std::string& path) {
    char buffer[MAX_PATH] = {};
    DWORD length = ::GetFullPathNameA(path.c_str(), MAX_PATH, buffer, nullptr);
    return length > 0 && length < MAX_PATH ? Upper8Bit(buffer) : Upper8Bit(path);
}

// A copy over the target, read-only or not. A setup run from the cache
// copies its own files onto themselves: those are left as they are.
void CopyInto(const std::string& source, const std::string& target) {
    if (FullPath(source) == FullPath(target)) return;
    ClearAttributes(target);
    ::CopyFileA(source.c_str(), target.c_str(), FALSE);
}

std::string Variable(RunContext& cx, const char* name) { return cx.vars.Exists(name) ? cx.vars.Get(name) : std::string(); }

struct CacheNames {
    std::string folder;  // C, trailing backslash
    std::string exe;     // the running setup's file name
    std::string base;    // the same without extension
    std::string setupFolder;
};

// The database the installer ran: a new instance's own copy, else the
// setup's.
std::string SetupDatabase(RunContext& cx, const CacheNames& n) {
    return cx.records.newInstanceDatabasePath.empty() ? n.setupFolder + n.base + ".msi"
                                                      : cx.records.newInstanceDatabasePath;
}

std::string ProductVersion(const std::string& database) {
    try {
        return DatabaseProductVersion(database);
    } catch (const ScriptError&) {
        return {};
    }
}

void FillCache(RunContext& cx, const CacheNames& n, bool allUsers) {
    const std::string& c = n.folder;
    ForceDirectories(c);
    // The shared application-data folder lets every user add files below
    // it; the cached setup runs with the rights of whoever maintains or
    // removes the product, so only administrators may change its folder.
    if (allUsers && cx.host.IsNtFamily() && cx.host.IsAdministrator()) RestrictToAdministrators(c);
    if (cx.script.mediaMode == 2) cx.host.WriteTextFile(c + cx.productCode, "");
    std::string database = SetupDatabase(cx, n);
    CopyInto(cx.startup.exePath, c + n.exe);
    CopyInto(database, c + n.base + ".msi");
    CopyInto(n.setupFolder + n.base + ".res", c + n.base + ".res");
    CopyInto(n.setupFolder + "zor.dll", c + "zor.dll");
    CopyInto(n.setupFolder + "setup.bmp", c + "setup.bmp");
    SaveSelections(cx, c + n.base + ".dat", true);
    cx.host.WriteTextFile(c + n.base + ".par", ParameterLogText(cx.records.parameterLog));
    std::string language = Variable(cx, "LANGUAGE");
    if (!language.empty()) {
        cx.host.WriteTextFile(c + n.base + ".lan", language + "\r\n");
    } else {
        ClearAttributes(c + n.base + ".lan");
        ::DeleteFileA((c + n.base + ".lan").c_str());
    }
}

void EmptyCache(RunContext& cx, const CacheNames& n) {
    const std::string& c = n.folder;
    if (cx.script.mediaMode == 2) {
        ClearAttributes(c + cx.productCode);
        ::DeleteFileA((c + cx.productCode).c_str());
    }
    DeleteTree(c);
    RemoveFolder(c);
    if (!DirectoryExists(c)) return;
    // The running setup is usually the cached copy: its folder moves aside
    // and goes at the next restart.
    int number = 0;
    while (DirectoryExists(RetiredCacheFolder(c, number))) ++number;
    std::string retired = RetiredCacheFolder(c, number);
    if (!::MoveFileA(qv::WithoutTrailingBackslash(c).c_str(), qv::WithoutTrailingBackslash(retired).c_str())) return;
    DeleteOnRestart(retired + n.exe);
    DeleteOnRestart(retired + "zor.dll");
    DeleteOnRestart(qv::WithoutTrailingBackslash(retired));
}

void Register(RunContext& cx, const CacheNames& n, HKEY root) {
    std::string title = Variable(cx, "TITLE");
    std::string key = UninstallKey(title);
    for (const auto& [name, data] : UninstallEntryValues(n.folder + n.exe, title, cx.script))
        WriteRegistryString(root, key, name, data);
    std::string location = SpaceTargetFolder(cx.vars).value_or(std::string());
    for (const auto& [name, data] : ManagedUninstallValues(n.folder + n.exe, ProductVersion(SetupDatabase(cx, n)), location))
        WriteRegistryString(root, key, name, data);
    WriteRegistryNumber(root, key, "EstimatedSize",
                        EstimatedSizeKb(RequiredSpace(cx.components, cx.componentSizes, 0)));
    WriteRegistryString(root, IdentCacheKey(cx.productCode), "", n.folder);
    cx.host.WriteTextFile(n.folder + "instance.dat", InstanceText(cx.productCode, cx.revisionCode, title));
}

void Unregister(RunContext& cx) {
    std::string title = Variable(cx, "TITLE");
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        DeleteRegistryKey(root, UninstallKey(title));
        DeleteRegistryKey(root, IdentCacheKey(cx.productCode));
    }
}

}  // namespace

void CacheAndRegisterProduct(RunContext& cx, bool install, bool remove) {
    bool allUsers = IsTrueText(Variable(cx, "ALLUSERS"));
    CacheNames n;
    n.folder = cx.host.ApplicationDataRoot(allUsers) + cx.revisionCode + "\\";
    n.exe = FileNameOfPath(cx.startup.exePath);
    n.base = cx.startup.setupName;
    std::string root = Variable(cx, "ROOTDIR");
    n.setupFolder = root.empty() ? cx.startup.setupFolder : WithTrailingBackslash(root);

    bool advertise = !install && !remove;
    if (advertise) {
        ForceDirectories(n.folder + "__ad");
        if (allUsers && cx.host.IsNtFamily() && cx.host.IsAdministrator()) RestrictToAdministrators(n.folder);
    } else {
        RemoveFolder(n.folder + "__ad");
    }
    if (install) FillCache(cx, n, allUsers);
    if (remove) EmptyCache(cx, n);

    if (install) Register(cx, n, allUsers || !cx.host.IsNtFamily() ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER);
    else Unregister(cx);
}

}  // namespace qv::win
