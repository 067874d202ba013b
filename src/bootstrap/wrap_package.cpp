#include "bootstrap/wrap_package.h"

#include <windows.h>

#include "platform/files.h"
#include "platform/handles.h"
#include "platform/module_image.h"

namespace qv::win {

namespace {

bool AppendFile(HANDLE out, const std::string& source, unsigned long long limit) {
    UniqueFile in(::CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!in) return false;
    char buffer[64 * 1024];
    unsigned long long left = limit;
    while (left > 0) {
        DWORD want = DWORD(std::min<unsigned long long>(left, sizeof buffer)), got = 0, put = 0;
        if (!::ReadFile(in.get(), buffer, want, &got, nullptr)) return false;
        if (got == 0) return limit == ~0ull;
        if (!::WriteFile(out, buffer, got, &put, nullptr) || put != got) return false;
        left -= got;
    }
    return true;
}

}  // namespace

bool WrapPackage(const std::string& packagePath) {
    std::string wrapped = packagePath + ".to";
    std::string kept = packagePath + ".nox";
    HMODULE self = ::GetModuleHandleA(nullptr);
    std::uint32_t image = ImageSize(self);
    if (image == 0) return false;
    {
        UniqueFile out(
            ::CreateFileA(wrapped.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!out) return false;
        if (!AppendFile(out.get(), ModuleFileName(self), image)) return false;
        if (!AppendFile(out.get(), packagePath, ~0ull)) return false;
    }
    if (!::MoveFileA(packagePath.c_str(), kept.c_str())) return false;
    return ::MoveFileA(wrapped.c_str(), packagePath.c_str()) != 0;
}

}  // namespace qv::win
