#include "platform/folder_security.h"

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <memory>

namespace qv::win {

namespace {

// Protected ("P"): nothing inherited from the shared parent folder, whose
// rights let every user add files. Container and object inherit (OICI).
constexpr const char* kAdministratorsOnly =
    "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

struct LocalFreer {
    void operator()(void* p) const { ::LocalFree(p); }
};

}  // namespace

bool RestrictToAdministrators(const std::string& folder) {
    PSECURITY_DESCRIPTOR raw = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(kAdministratorsOnly, SDDL_REVISION_1, &raw, nullptr))
        return false;
    std::unique_ptr<void, LocalFreer> descriptor(raw);
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!::GetSecurityDescriptorDacl(raw, &present, &dacl, &defaulted) || !present) return false;
    std::string path = folder;
    return ::SetNamedSecurityInfoA(path.data(), SE_FILE_OBJECT,
                                   DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                   dacl, nullptr) == ERROR_SUCCESS;
}

}  // namespace qv::win
