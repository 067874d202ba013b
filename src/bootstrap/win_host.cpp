#include <windows.h>

#include "bootstrap/win_host.h"

#include "common/errors.h"
#include "installer/product_queries.h"
#include "platform/handles.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system_facts.h"
#include "wizard/toolkit/page.h"

namespace qv::win {

namespace {

bool PumpOne() {
    MSG msg;
    if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    // Pages shown without waiting take the keyboard as dialogs do.
    if (toolkit::PreTranslatePageMessage(msg)) return true;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
    return true;
}

}  // namespace

void ShowErrorBox(HWND owner, const std::string& text) {
    ::MessageBoxA(owner, text.c_str(), "Quorvex", MB_OK | MB_ICONERROR);
}

void WinHost::ShowError(const std::string& text) { ShowErrorBox(nullptr, text); }

int WinHost::ShowMessageBox(std::uintptr_t owner, const std::string& text, const std::string& caption,
                            std::uint32_t style) {
    return ::MessageBoxA(reinterpret_cast<HWND>(owner), text.c_str(), caption.c_str(), style);
}

void WinHost::ProcessMessages() {
    while (PumpOne()) {
    }
}

void WinHost::WaitForMessage() {
    if (PumpOne()) return;
    // Pages shown without waiting post a timer message every second.
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1000, QS_ALLINPUT);
    PumpOne();
}

bool WinHost::FileExists(const std::string& path) { return win::FileExists(path); }

std::optional<std::string> WinHost::ReadTextFile(const std::string& path) { return ReadWholeFile(path); }

bool WinHost::WriteTextFile(const std::string& path, const std::string& content) {
    ClearAttributes(path);
    return WriteWholeFile(path, content);
}

std::string WinHost::CreateTempFile(const std::string& folder, const std::string& prefix) {
    char name[MAX_PATH] = {};
    if (!::GetTempFileNameA(folder.c_str(), prefix.c_str(), 0, name))
        throw ScriptError("Cannot create a temporary file in " + folder);
    return name;
}

std::string WinHost::ShortPath(const std::string& path) {
    char buffer[MAX_PATH] = {};
    DWORD n = ::GetShortPathNameA(path.c_str(), buffer, sizeof buffer);
    return n && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

std::optional<std::string> WinHost::FindFileName(const std::string& path) {
    WIN32_FIND_DATAA data;
    UniqueFind find(::FindFirstFileA(path.c_str(), &data));
    if (!find) return std::nullopt;
    return std::string(data.cFileName);
}

bool WinHost::IsNtFamily() { return win::IsNtFamily(); }
bool WinHost::IsAdministrator() { return win::IsAdministrator(); }
std::string WinHost::ProgramFilesFolder() { return win::ProgramFilesFolder(); }
std::string WinHost::ProfileFolder() { return win::ProfileFolder(); }
std::string WinHost::RegisteredOwner() { return win::RegisteredOwner(); }
std::string WinHost::RegisteredOrganization() { return win::RegisteredOrganization(); }
std::string WinHost::ShortDateText() { return win::ShortDateText(); }
std::string WinHost::LongTimeText() { return win::LongTimeText(); }
std::string WinHost::ApplicationDataRoot(bool allUsers) { return win::ApplicationDataRoot(allUsers); }
bool WinHost::ProductIsInstalled(const std::string& productCode) { return win::ProductIsInstalled(productCode); }

std::optional<std::string> WinHost::InstalledPackageCode(const std::string& productCode) {
    return win::InstalledPackageCode(productCode);
}

std::string WinHost::UninstallString(const std::string& title, bool machineHive) {
    return ReadRegistryString(machineHive ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                              "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + title, "UninstallString")
        .value_or("");
}

namespace {

const char* kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";

void EnableShutdownPrivilege() {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) return;
    UniqueHandle token(raw);
    TOKEN_PRIVILEGES privileges = {};
    if (!::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) return;
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    ::AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
}

}  // namespace

void WinHost::WriteRunEntry(bool machineHive, const std::string& name, const std::string& command) {
    WriteRegistryString(machineHive ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, kRunKey, name, command);
}

void WinHost::DeleteRunEntry(bool machineHive, const std::string& name) {
    DeleteRegistryValue(machineHive ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, kRunKey, name);
}

void WinHost::RequestRestart() {
    // Test runs name a file here instead: a restart would end every program
    // of the test machine's session.
    char simulate[MAX_PATH] = {};
    if (::GetEnvironmentVariableA("QUORVEX_SIMULATE_RESTART", simulate, sizeof simulate) > 0) {
        std::string log = ReadWholeFile(simulate).value_or("");
        WriteWholeFile(simulate, log + "restart requested\r\n");
        return;
    }
    if (win::IsNtFamily()) EnableShutdownPrivilege();
    ::ExitWindowsEx(EWX_REBOOT, 0);
}

}  // namespace qv::win
