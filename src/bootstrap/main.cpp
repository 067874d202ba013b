// The stub's entry point.
#include <windows.h>

#include "bootstrap/startup.h"
#include "media/codec_staging.h"

namespace {

// Before anything else loads a library: the DLL search order is the system
// folder plus folders added on purpose, so a DLL planted beside the setup or
// in the current folder under a system library's name is never loaded. The
// setup's own libraries are loaded by full path.
void RestrictLibrarySearch() {
    using SetDefaultDirsFn = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    auto setDefault = reinterpret_cast<SetDefaultDirsFn>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
    ::SetDllDirectoryA("");
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictLibrarySearch();
    qv::win::StageArchiveCodecs();
    return qv::win::RunSetup();
}
