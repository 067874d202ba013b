#include "platform/file_facts.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>
#include <vector>

#include "platform/files.h"
#include "platform/handles.h"
#include "platform/system_facts.h"

namespace qv::win {

namespace {

// The root a volume query takes for the drive of a path: "C:\" or
// "\\server\share\"; the path itself when it names neither.
std::string DriveRoot(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2) + "\\";
    if (path.rfind("\\\\", 0) == 0) {
        std::size_t server = path.find('\\', 2);
        std::size_t share = server == std::string::npos ? server : path.find('\\', server + 1);
        return share == std::string::npos ? qv::WithTrailingBackslash(path) : path.substr(0, share + 1);
    }
    return path;
}

struct ComInitialization {
    bool initialized = SUCCEEDED(::OleInitialize(nullptr));
    ~ComInitialization() {
        if (initialized) ::OleUninitialize();
    }
};

}  // namespace

std::vector<DirectoryEntry> SystemFileView::List(const std::string& folder, const std::string& mask) {
    std::vector<DirectoryEntry> out;
    WIN32_FIND_DATAA data;
    UniqueFind find(::FindFirstFileA((folder + mask).c_str(), &data));
    if (!find) return out;
    do {
        out.push_back({data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (::FindNextFileA(find.get(), &data));
    return out;
}

bool SystemFileView::DeleteFileAt(const std::string& path) {
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ::DeleteFileA(path.c_str()) != 0;
}

bool SystemFileView::RemoveEmptyFolder(const std::string& path) { return ::RemoveDirectoryA(path.c_str()) != 0; }

bool FirstMatchIsFile(const std::string& path) {
    WIN32_FIND_DATAA data;
    UniqueFind find(::FindFirstFileA(path.c_str(), &data));
    return find && (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool MakeFolders(const std::string& path) { return ForceDirectories(path); }

std::uint64_t DiskSpace(const std::string& path, bool freeSpace) {
    ULARGE_INTEGER available{}, total{};
    if (!::GetDiskFreeSpaceExA(path.c_str(), &available, &total, nullptr)) return 0;
    return freeSpace ? available.QuadPart : total.QuadPart;
}

std::uint64_t FreeDiskSpace(const std::string& path) { return DiskSpace(DriveRoot(path), true); }

std::int64_t AvailableSpace(const VariableStore& vars) {
    auto folder = SpaceTargetFolder(vars);
    return folder ? std::int64_t(FreeDiskSpace(*folder)) : -1;
}

std::int64_t RemainingSpace(const RunContext& cx) {
    return AvailableSpace(cx.vars) - RequiredSpace(cx.components, cx.componentSizes, cx.selectionBaseline);
}

std::optional<FileVersion> ReadFileVersion(const std::string& path) {
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<char> block(size);
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, block.data())) return std::nullopt;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    char root[] = "\\";
    if (!::VerQueryValueA(block.data(), root, reinterpret_cast<void**>(&fixed), &length) || !fixed ||
        length < sizeof(VS_FIXEDFILEINFO))
        return std::nullopt;
    return VersionFromHalves(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
}

bool DeleteOnRestart(const std::string& path) {
    if (IsNtFamily()) return ::MoveFileExA(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
    char shortPath[MAX_PATH] = {};
    DWORD length = ::GetShortPathNameA(path.c_str(), shortPath, MAX_PATH);
    std::string entry = length > 0 && length < MAX_PATH ? std::string(shortPath, length) : path;
    char windows[MAX_PATH] = {};
    UINT folderLength = ::GetWindowsDirectoryA(windows, MAX_PATH);
    if (folderLength == 0 || folderLength >= MAX_PATH) return false;
    // The profile functions keep one value per key, and every entry here has
    // the key "NUL", so the file is edited as text.
    std::string ini = qv::WithTrailingBackslash(windows) + "wininit.ini";
    return WriteWholeFile(ini, AddRenameEntry(ReadWholeFile(ini).value_or(""), entry));
}

int ScreenDpi() {
    HDC dc = ::GetDC(nullptr);
    if (!dc) return -1;
    int dpi = ::GetDeviceCaps(dc, LOGPIXELSX);
    ::ReleaseDC(nullptr, dc);
    return dpi;
}

std::optional<std::string> BrowseForFolder(const std::string& title, const std::string& rootFolder, void* owner) {
    ComInitialization com;
    std::unique_ptr<ITEMIDLIST, decltype(&::CoTaskMemFree)> root(nullptr, &::CoTaskMemFree);
    if (!rootFolder.empty()) {
        int wideLength = ::MultiByteToWideChar(CP_ACP, 0, rootFolder.c_str(), -1, nullptr, 0);
        std::vector<wchar_t> wide(std::size_t(wideLength > 0 ? wideLength : 1));
        ::MultiByteToWideChar(CP_ACP, 0, rootFolder.c_str(), -1, wide.data(), wideLength);
        PIDLIST_ABSOLUTE parsed = nullptr;
        if (SUCCEEDED(::SHParseDisplayName(wide.data(), nullptr, &parsed, 0, nullptr)))
            root.reset(reinterpret_cast<ITEMIDLIST*>(parsed));
    }
    BROWSEINFOA info{};
    info.hwndOwner = static_cast<HWND>(owner);
    info.pidlRoot = root.get();
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    std::unique_ptr<ITEMIDLIST, decltype(&::CoTaskMemFree)> chosen(
        reinterpret_cast<ITEMIDLIST*>(::SHBrowseForFolderA(&info)), &::CoTaskMemFree);
    if (!chosen) return std::nullopt;
    char path[MAX_PATH] = {};
    if (!::SHGetPathFromIDListA(chosen.get(), path)) return std::nullopt;
    return std::string(path);
}

}  // namespace qv::win
