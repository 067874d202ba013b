#include "platform/system_facts.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/files.h"
#include "platform/registry.h"

namespace qv::win {

bool IsNtFamily() {
    OSVERSIONINFOA info = {};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExA(&info)) return true;
#pragma GCC diagnostic pop
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool IsAdministrator() {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = nullptr;
    if (!::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                    &admins))
        return false;
    BOOL member = FALSE;
    if (!::CheckTokenMembership(nullptr, admins, &member)) member = FALSE;
    ::FreeSid(admins);
    return member != FALSE;
}

std::string ShellFolder(int csidl) {
    char buffer[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer)) || !buffer[0]) return {};
    return WithTrailingBackslash(buffer);
}

std::string ParentFolder(const std::string& folder) {
    std::string f = folder;
    while (!f.empty() && f.back() == '\\') f.pop_back();
    std::size_t slash = f.find_last_of('\\');
    return slash == std::string::npos ? WithTrailingBackslash(f) : f.substr(0, slash + 1);
}

std::string ProgramFilesFolder() {
    std::string f = ShellFolder(CSIDL_PROGRAM_FILES);
    if (!f.empty()) return f;
    auto v = ReadRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir");
    return v ? WithTrailingBackslash(*v) : "C:\\Program Files\\";
}

std::string ProfileFolder() {
    std::string documents = ShellFolder(CSIDL_PERSONAL);
    return documents.empty() ? ProgramFilesFolder() : ParentFolder(documents);
}

std::string ApplicationDataRoot(bool allUsers) {
    if (!IsNtFamily()) return ShellFolder(CSIDL_PROGRAM_FILES_COMMON);
    std::string desktop = ShellFolder(allUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY);
    if (desktop.empty()) return {};
    return ParentFolder(desktop) + "Application Data\\";
}

namespace {

std::string OwnerValue(const char* value) {
    const char* key = IsNtFamily() ? "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"
                                   : "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    return ReadRegistryString(HKEY_LOCAL_MACHINE, key, value).value_or("");
}

}  // namespace

std::string RegisteredOwner() { return OwnerValue("RegisteredOwner"); }
std::string RegisteredOrganization() { return OwnerValue("RegisteredOrganization"); }

std::string ShortDateText() {
    char buffer[128] = {};
    if (!::GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, buffer, sizeof buffer)) return {};
    return buffer;
}

std::string LongTimeText() {
    char buffer[128] = {};
    if (!::GetTimeFormatA(LOCALE_USER_DEFAULT, 0, nullptr, nullptr, buffer, sizeof buffer)) return {};
    return buffer;
}

std::string SystemFolder() {
    char buffer[MAX_PATH] = {};
    UINT n = ::GetSystemDirectoryA(buffer, sizeof buffer);
    return n ? WithTrailingBackslash(std::string(buffer, n)) : std::string();
}

}  // namespace qv::win
