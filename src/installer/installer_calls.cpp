#include "installer/installer_calls.h"

#include <windows.h>

#include <vector>

#include "installer/installer_plan.h"
#include "installer/msi_handle.h"
#include "installer/msi_library.h"
#include "platform/handles.h"

namespace qv::win {

namespace {

using ExternalUiHandler = int(WINAPI*)(void* context, UINT messageType, const char* message);
using EnableLogFn = UINT(WINAPI*)(DWORD, const char*, DWORD);
using SetInternalUiFn = int(WINAPI*)(int, HWND*);
using SetExternalUiFn = ExternalUiHandler(WINAPI*)(ExternalUiHandler, DWORD, void*);
using InstallProductFn = UINT(WINAPI*)(const char*, const char*);
using ApplyPatchFn = UINT(WINAPI*)(const char*, const char*, int, const char*);
using OpenPackageFn = UINT(WINAPI*)(const char*, MsiHandleValue*);
using SetPropertyFn = UINT(WINAPI*)(MsiHandleValue, const char*, const char*);
using DoActionFn = UINT(WINAPI*)(MsiHandleValue, const char*);
using GetModeFn = BOOL(WINAPI*)(MsiHandleValue, int);
using AddSourceFn = UINT(WINAPI*)(const char*, const char*, DWORD, const char*);

constexpr int kInstallTypeDefault = 0;

// Called by the installer on the thread that runs it. Nothing may escape
// into the installer: a handler failure leaves the message to the installer.
int WINAPI ForwardMessage(void* context, UINT messageType, const char* message) {
    if (!context) return kInstallerAnswerUnhandled;
    try {
        return static_cast<InstallerMessageHandler*>(context)->Handle(messageType, message ? message : "");
    } catch (...) {
        return kInstallerAnswerUnhandled;
    }
}

// The account of the process token as domain\user; the logon name when the
// token cannot tell (the Windows 9x family has none); empty when neither can.
std::string CurrentUserName() {
    HANDLE raw = nullptr;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) {
        UniqueHandle token(raw);
        DWORD size = 0;
        ::GetTokenInformation(token.get(), TokenUser, nullptr, 0, &size);
        std::vector<unsigned char> buffer(size ? size : 1);
        if (::GetTokenInformation(token.get(), TokenUser, buffer.data(), size, &size)) {
            char name[256], domain[256];
            DWORD nameLength = sizeof name, domainLength = sizeof domain;
            SID_NAME_USE use;
            PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid;
            if (::LookupAccountSidA(nullptr, sid, name, &nameLength, domain, &domainLength, &use))
                return std::string(domain) + "\\" + name;
        }
    }
    char logon[256];
    DWORD length = sizeof logon;
    return ::GetUserNameA(logon, &length) ? std::string(logon) : std::string();
}

InstallerCallResult RemoveProduct(const InstallerCall& call) {
    InstallerCallResult result;
    MsiHandle session;
    result.code = Msi<OpenPackageFn>("MsiOpenPackageA")(call.packagePath.c_str(), session.out());
    if (result.code != 0) return result;
    auto setProperty = Msi<SetPropertyFn>("MsiSetPropertyA");
    for (const auto& [name, value] : call.sessionProperties) setProperty(session.get(), name.c_str(), value.c_str());
    result.code = Msi<DoActionFn>("MsiDoActionA")(session.get(), call.sessionAction.c_str());
    if (result.code == 0) {
        auto getMode = Msi<GetModeFn>("MsiGetMode");
        result.rebootAtEnd = getMode(session.get(), kRunModeRebootAtEnd) != FALSE;
        result.rebootNow = getMode(session.get(), kRunModeRebootNow) != FALSE;
    }
    return result;
}

InstallerCallResult ApplyPatch(const InstallerCall& call, const std::string& productCode) {
    auto addSource = Msi<AddSourceFn>("MsiSourceListAddSourceA");
    addSource(productCode.c_str(), nullptr, 0, call.sourceFolder.c_str());
    addSource(productCode.c_str(), CurrentUserName().c_str(), 0, call.sourceFolder.c_str());
    InstallerCallResult result;
    result.code = Msi<ApplyPatchFn>("MsiApplyPatchA")(call.packagePath.c_str(), nullptr, kInstallTypeDefault,
                                                      call.commandLine.c_str());
    return result;
}

}  // namespace

void EnableInstallerLog(const std::string& logPath) {
    Msi<EnableLogFn>("MsiEnableLogA")(kInstallerLogMode, logPath.c_str(), kInstallerLogAttributes);
}

ExternalUiRegistration::ExternalUiRegistration(InstallerMessageHandler& handler) {
    previousLevel_ = Msi<SetInternalUiFn>("MsiSetInternalUI")(kInternalUiLevel, nullptr);
    previousHandler_ = reinterpret_cast<void*>(
        Msi<SetExternalUiFn>("MsiSetExternalUIA")(ForwardMessage, kExternalUiFilter, &handler));
}

ExternalUiRegistration::~ExternalUiRegistration() {
    auto previous = reinterpret_cast<ExternalUiHandler>(previousHandler_);
    Msi<SetExternalUiFn>("MsiSetExternalUIA")(previous, previous ? kExternalUiFilter : 0, nullptr);
    Msi<SetInternalUiFn>("MsiSetInternalUI")(previousLevel_, nullptr);
}

InstallerCallResult CallInstaller(const InstallerCall& call, const std::string& productCode) {
    switch (call.kind) {
    case InstallerCallKind::RemoveProduct:
        return RemoveProduct(call);
    case InstallerCallKind::ApplyPatch:
        return ApplyPatch(call, productCode);
    case InstallerCallKind::InstallProduct:
        break;
    }
    InstallerCallResult result;
    result.code = Msi<InstallProductFn>("MsiInstallProductA")(call.packagePath.c_str(), call.commandLine.c_str());
    return result;
}

std::string SystemErrorText(std::uint32_t code) {
    char* buffer = nullptr;
    DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length && buffer ? std::string(buffer, length) : std::string();
    if (buffer) ::LocalFree(buffer);
    return text;
}

}  // namespace qv::win
