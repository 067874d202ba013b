#include "installer/msi_library.h"

#include <mutex>
#include <string>

#include "common/errors.h"

namespace qv::win {

namespace {

HMODULE Library() {
    static std::once_flag once;
    static HMODULE module = nullptr;
    std::call_once(once, [] { module = ::LoadLibraryExA("msi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32); });
    return module;
}

}  // namespace

FARPROC MsiFunction(const char* name) {
    HMODULE module = Library();
    if (!module) throw ScriptError("Library not found: msi.dll");
    FARPROC f = ::GetProcAddress(module, name);
    if (!f) throw ScriptError(std::string("Function not found: msi.dll.") + name);
    return f;
}

}  // namespace qv::win
