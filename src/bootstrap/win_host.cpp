#include <windows.h>

#include "bootstrap/win_host.h"

#include "installer/product_queries.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system_facts.h"

namespace qv::win {

namespace {

bool PumpOne() {
    MSG msg;
    if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
    return true;
}

}  // namespace

void ShowErrorBox(HWND owner, const std::string& text) {
    ::MessageBoxA(owner, text.c_str(), "Quorvex", MB_OK | MB_ICONERROR);
}

void WinHost::ShowError(const std::string& text) { ShowErrorBox(nullptr, text); }

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

void WinHost::SetProgress(const std::string&, std::int64_t, std::int64_t, std::int64_t) {}

bool WinHost::FileExists(const std::string& path) { return win::FileExists(path); }

std::optional<std::string> WinHost::ReadTextFile(const std::string& path) { return ReadWholeFile(path); }

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

}  // namespace qv::win
