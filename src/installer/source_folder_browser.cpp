#include "installer/source_folder_browser.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

namespace qv::win {

std::optional<std::string> ChooseFolder(const std::string& title, std::uintptr_t owner) {
    BROWSEINFOA info = {};
    info.hwndOwner = reinterpret_cast<HWND>(owner);
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderA(&info);
    std::optional<std::string> folder;
    if (chosen) {
        char path[MAX_PATH] = {};
        if (::SHGetPathFromIDListA(chosen, path)) folder = std::string(path);
        ::CoTaskMemFree(chosen);
    }
    if (SUCCEEDED(com)) ::CoUninitialize();
    return folder;
}

}  // namespace qv::win
