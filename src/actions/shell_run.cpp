#include "actions/shell_run.h"

#include <windows.h>
#include <shellapi.h>

#include "common/errors.h"
#include "platform/handles.h"

namespace qv::win {

unsigned long ShellRun(const std::string& file, const std::string& arguments, bool show, bool wait) {
    SHELLEXECUTEINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = "open";
    info.lpFile = file.c_str();
    info.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
    info.nShow = show ? SW_SHOWNORMAL : SW_HIDE;
    if (!::ShellExecuteExA(&info)) {
        info.lpVerb = nullptr;
        if (!::ShellExecuteExA(&info)) throw ScriptError("Cannot run " + file);
    }
    UniqueHandle process(info.hProcess);
    if (!process) return 0;
    if (wait) {
        for (;;) {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
            if (::WaitForSingleObject(process.get(), 1000) != WAIT_TIMEOUT) break;
        }
    }
    DWORD code = kStillRunning;
    ::GetExitCodeProcess(process.get(), &code);
    return code;
}

}  // namespace qv::win
