// Windows Installer bound at first use: msi.dll is loaded from the system
// folder only, and each entry point is looked up when it is first needed.
// A missing library or function raises "Library not found: " or
// "Function not found: " with the library and function names
// ("msi.dll.MsiOpenDatabaseA").
#pragma once

#include <windows.h>

namespace qv::win {

// The address of an ANSI entry point of msi.dll; throws ScriptError.
FARPROC MsiFunction(const char* name);

template <typename Fn>
Fn Msi(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(MsiFunction(name)));
}

}  // namespace qv::win
