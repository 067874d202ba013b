// The file, folder, drive and filter lists and the shell tree, list and
// combo: native lists filled from the file system.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>

#include "wizard/toolkit/model_values.h"
#include "wizard/toolkit/window_layer.h"

namespace qv::toolkit::detail {

namespace {

std::string WithBackslash(std::string path) {
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path;
}

std::string CurrentFolder() {
    wchar_t buffer[MAX_PATH] = {};
    DWORD n = ::GetCurrentDirectoryW(MAX_PATH, buffer);
    return n && n < MAX_PATH ? WideToAnsi(buffer) : std::string("C:\\");
}

bool IsFolder(const std::string& path) {
    DWORD a = ::GetFileAttributesW(AnsiToWide(path).c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

struct Entry {
    std::string name;
    bool folder;
};

// The entries of a folder that match one of the masks ("*.txt;*.doc"), the
// folders first, each part sorted by name.
std::vector<Entry> Entries(const std::string& folder, const std::string& masks, bool files, bool folders) {
    std::vector<Entry> entries;
    std::vector<std::string> patterns;
    std::size_t start = 0;
    while (start <= masks.size()) {
        std::size_t end = masks.find(';', start);
        std::string mask = masks.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!mask.empty()) patterns.push_back(mask);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    if (patterns.empty() || folders) patterns = {"*.*"};
    for (const std::string& pattern : patterns) {
        WIN32_FIND_DATAW found;
        HANDLE find = ::FindFirstFileW(AnsiToWide(WithBackslash(folder) + pattern).c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) continue;
        do {
            std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
            bool isFolder = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
            if ((isFolder && folders) || (!isFolder && files)) entries.push_back({WideToAnsi(name), isFolder});
        } while (::FindNextFileW(find, &found));
        ::FindClose(find);
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.folder != b.folder) return a.folder;
        return LowerAscii(a.name) < LowerAscii(b.name);
    });
    entries.erase(std::unique(entries.begin(), entries.end(),
                              [](const Entry& a, const Entry& b) { return a.name == b.name; }),
                  entries.end());
    return entries;
}

std::vector<std::string> Drives() {
    std::vector<std::string> drives;
    DWORD mask = ::GetLogicalDrives();
    for (int i = 0; i < 26; ++i)
        if (mask & (1u << i)) drives.push_back(std::string(1, char('A' + i)) + ":\\");
    return drives;
}

int SystemIcon(const std::string& path) {
    SHFILEINFOW info = {};
    ::SHGetFileInfoW(AnsiToWide(path).c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    return info.iIcon;
}

HIMAGELIST SystemImages() {
    SHFILEINFOW info = {};
    return reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoW(L"C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

std::string Folder(const Control& c, const char* property) {
    std::string folder = AnsiText(c.model(), property);
    return folder.empty() ? CurrentFolder() : folder;
}

void AddItem(Control& c, UINT message, const std::wstring& text, const std::string& path) {
    LRESULT index = ::SendMessageW(c.window(), message, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0) return;
    auto& paths = c.state().paths;
    // Sorted lists insert anywhere: keep the paths in the list's order.
    paths.insert(paths.begin() + std::min<std::ptrdiff_t>(index, std::ptrdiff_t(paths.size())), path);
}

void FillFileList(Control& c) {
    FormObject& m = c.model();
    std::string file = AnsiText(m, "FileName");
    if (file.find('\\') != std::string::npos && !IsFolder(file)) SetAnsiText(m, "Directory", file.substr(0, file.rfind('\\')));
    else if (IsFolder(file)) SetAnsiText(m, "Directory", file);
    std::string folder = Folder(c, "Directory");
    std::string mask = AnsiText(m, "Mask");
    ::SendMessageW(c.window(), LB_RESETCONTENT, 0, 0);
    c.state().paths.clear();
    for (const Entry& e : Entries(folder, mask.empty() ? "*.*" : mask, true, false))
        AddItem(c, LB_ADDSTRING, AnsiToWide(e.name), WithBackslash(folder) + e.name);
    auto& paths = c.state().paths;
    auto selected = std::find_if(paths.begin(), paths.end(),
                                 [&](const std::string& p) { return EqualsIgnoreCaseAscii(p, file); });
    ::SendMessageW(c.window(), LB_SETCURSEL, selected == paths.end() ? WPARAM(-1) : WPARAM(selected - paths.begin()), 0);
}

void FillDirectoryList(Control& c) {
    std::string folder = Folder(c, "Directory");
    if (!IsFolder(folder)) folder = CurrentFolder();
    ::SendMessageW(c.window(), LB_RESETCONTENT, 0, 0);
    c.state().paths.clear();
    // The folder's ancestors from the drive down, each indented one step
    // further, then its subfolders.
    std::vector<std::string> chain;
    std::string path = WithBackslash(folder);
    std::size_t at = path.find('\\');
    while (at != std::string::npos) {
        chain.push_back(path.substr(0, at + 1));
        at = path.find('\\', at + 1);
    }
    int depth = 0;
    for (const std::string& step : chain) {
        std::string name = step;
        if (step.size() > 3) {
            std::string trimmed = step.substr(0, step.size() - 1);
            name = trimmed.substr(trimmed.rfind('\\') + 1);
        }
        AddItem(c, LB_ADDSTRING, std::wstring(std::size_t(depth) * 2, L' ') + AnsiToWide(name), step);
        ++depth;
    }
    LRESULT current = LRESULT(c.state().paths.size()) - 1;
    for (const Entry& e : Entries(folder, "*.*", false, true))
        AddItem(c, LB_ADDSTRING, std::wstring(std::size_t(depth) * 2, L' ') + AnsiToWide(e.name),
                WithBackslash(folder) + e.name + "\\");
    ::SendMessageW(c.window(), LB_SETCURSEL, WPARAM(current), 0);
    SetAnsiText(c.model(), "Directory", folder);
}

void FillDriveCombo(Control& c) {
    HWND w = c.window();
    ::SendMessageW(w, CB_RESETCONTENT, 0, 0);
    c.state().paths.clear();
    std::string drive = AnsiText(c.model(), "Drive");
    if (drive.empty()) drive = CurrentFolder().substr(0, 1);
    int selected = -1;
    for (const std::string& root : Drives()) {
        std::wstring text = AnsiToWide(LowerAscii(root.substr(0, 2)));
        // Only fixed drives are asked for their label: asking a removable or
        // network drive may wait for the device.
        if (::GetDriveTypeW(AnsiToWide(root).c_str()) == DRIVE_FIXED) {
            wchar_t label[MAX_PATH] = {};
            if (::GetVolumeInformationW(AnsiToWide(root).c_str(), label, MAX_PATH, nullptr, nullptr, nullptr, nullptr,
                                        0) &&
                label[0])
                text += L" [" + std::wstring(label) + L"]";
        }
        AddItem(c, CB_ADDSTRING, text, root);
        if (std::tolower(root[0]) == std::tolower(drive[0])) selected = int(c.state().paths.size()) - 1;
    }
    ::SendMessageW(w, CB_SETCURSEL, WPARAM(selected), 0);
}

void FillFilterCombo(Control& c) {
    HWND w = c.window();
    ::SendMessageW(w, CB_RESETCONTENT, 0, 0);
    c.state().paths.clear();
    std::string filter = AnsiText(c.model(), "Filter");
    std::string mask = AnsiText(c.model(), "Mask");
    int selected = 0;
    std::size_t start = 0;
    while (start < filter.size()) {
        std::size_t bar = filter.find('|', start);
        std::string description = filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        std::string pattern;
        start = bar == std::string::npos ? filter.size() : bar + 1;
        if (bar != std::string::npos) {
            std::size_t next = filter.find('|', start);
            pattern = filter.substr(start, next == std::string::npos ? std::string::npos : next - start);
            start = next == std::string::npos ? filter.size() : next + 1;
        }
        AddItem(c, CB_ADDSTRING, AnsiToWide(description), pattern);
        if (EqualsIgnoreCaseAscii(pattern, mask)) selected = int(c.state().paths.size()) - 1;
    }
    ::SendMessageW(w, CB_SETCURSEL, WPARAM(selected), 0);
    if (!c.state().paths.empty()) SetAnsiText(c.model(), "Mask", c.state().paths[std::size_t(selected)]);
}

HTREEITEM AddFolderNode(Control& c, HTREEITEM parent, const std::wstring& text, const std::string& path) {
    auto& paths = c.state().paths;
    paths.push_back(path);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    std::wstring label = text;
    insert.item.pszText = label.data();
    insert.item.lParam = LPARAM(paths.size() - 1);
    insert.item.cChildren = 1;
    insert.item.iImage = insert.item.iSelectedImage = SystemIcon(path);
    return reinterpret_cast<HTREEITEM>(::SendMessageW(c.window(), TVM_INSERTITEMW, 0, LPARAM(&insert)));
}

std::string NodePath(const Control& c, HTREEITEM node) {
    if (!node) return {};
    TVITEMW item = {};
    item.mask = TVIF_PARAM;
    item.hItem = node;
    ::SendMessageW(c.window(), TVM_GETITEMW, 0, LPARAM(&item));
    return ItemPathOf(c, item.lParam);
}

void FillShellTree(Control& c) {
    HWND w = c.window();
    ::SendMessageW(w, TVM_SETIMAGELIST, TVSIL_NORMAL, LPARAM(SystemImages()));
    ::SendMessageW(w, TVM_DELETEITEM, 0, LPARAM(TVI_ROOT));
    c.state().paths.clear();
    std::string target = WithBackslash(AnsiText(c.model(), "Path"));
    for (const std::string& root : Drives()) {
        HTREEITEM node = AddFolderNode(c, nullptr, AnsiToWide(root.substr(0, 2)), root);
        if (target.size() < 3 || std::tolower(target[0]) != std::tolower(root[0])) continue;
        // Open the way down to the path the tree shows.
        HTREEITEM at = node;
        std::size_t from = 3;
        while (at) {
            ::SendMessageW(w, TVM_EXPAND, TVE_EXPAND, LPARAM(at));
            std::size_t end = target.find('\\', from);
            if (end == std::string::npos) break;
            std::string step = target.substr(0, end + 1);
            HTREEITEM child = reinterpret_cast<HTREEITEM>(::SendMessageW(w, TVM_GETNEXTITEM, TVGN_CHILD, LPARAM(at)));
            while (child && !EqualsIgnoreCaseAscii(WithBackslash(NodePath(c, child)), step))
                child = reinterpret_cast<HTREEITEM>(::SendMessageW(w, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(child)));
            if (!child) break;
            at = child;
            from = end + 1;
        }
        ::SendMessageW(w, TVM_SELECTITEM, TVGN_CARET, LPARAM(at));
    }
}

void FillShellList(Control& c) {
    HWND w = c.window();
    ::SendMessageW(w, LVM_SETIMAGELIST, LVSIL_SMALL, LPARAM(SystemImages()));
    ::SendMessageW(w, LVM_DELETEALLITEMS, 0, 0);
    c.state().paths.clear();
    std::string folder = Folder(c, "Path");
    int index = 0;
    for (const Entry& e : Entries(folder, "*.*", true, true)) {
        std::string path = WithBackslash(folder) + e.name;
        c.state().paths.push_back(path);
        std::wstring text = AnsiToWide(e.name);
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM | LVIF_IMAGE;
        item.iItem = index++;
        item.pszText = text.data();
        item.lParam = LPARAM(c.state().paths.size() - 1);
        item.iImage = SystemIcon(path);
        ::SendMessageW(w, LVM_INSERTITEMW, 0, LPARAM(&item));
    }
}

void FillShellCombo(Control& c) {
    HWND w = c.window();
    ::SendMessageW(w, CB_RESETCONTENT, 0, 0);
    c.state().paths.clear();
    for (const std::string& root : Drives()) AddItem(c, CB_ADDSTRING, AnsiToWide(root), root);
    ::SetWindowTextW(w, AnsiToWide(AnsiText(c.model(), "Path")).c_str());
}

}  // namespace

std::string ItemPathOf(const Control& c, LPARAM index) {
    const auto& paths = const_cast<Control&>(c).state().paths;
    return index >= 0 && std::size_t(index) < paths.size() ? paths[std::size_t(index)] : std::string();
}

void FillFileControl(Control& c) {
    if (!c.window()) return;
    switch (c.controlClass()->kind) {
    case NativeKind::FileList: FillFileList(c); break;
    case NativeKind::DirectoryList: FillDirectoryList(c); break;
    case NativeKind::DriveCombo: FillDriveCombo(c); break;
    case NativeKind::FilterCombo: FillFilterCombo(c); break;
    case NativeKind::ShellTree: FillShellTree(c); break;
    case NativeKind::ShellList: FillShellList(c); break;
    case NativeKind::ShellCombo: FillShellCombo(c); break;
    default: break;
    }
}

void ExpandShellNode(Control& c, HTREEITEM node) {
    HWND w = c.window();
    if (::SendMessageW(w, TVM_GETNEXTITEM, TVGN_CHILD, LPARAM(node))) return;
    std::string folder = NodePath(c, node);
    std::vector<Entry> entries = Entries(folder, "*.*", false, true);
    for (const Entry& e : entries) AddFolderNode(c, node, AnsiToWide(e.name), WithBackslash(folder) + e.name);
    if (entries.empty()) {
        TVITEMW item = {};
        item.mask = TVIF_CHILDREN;
        item.hItem = node;
        item.cChildren = 0;
        ::SendMessageW(w, TVM_SETITEMW, 0, LPARAM(&item));
    }
}

std::string SelectedPath(const Control& c) {
    HWND w = c.window();
    switch (c.controlClass()->kind) {
    case NativeKind::FileList:
    case NativeKind::DirectoryList: return ItemPathOf(c, ::SendMessageW(w, LB_GETCURSEL, 0, 0));
    case NativeKind::DriveCombo:
    case NativeKind::ShellCombo: return ItemPathOf(c, ::SendMessageW(w, CB_GETCURSEL, 0, 0));
    case NativeKind::ShellTree:
        return NodePath(c, reinterpret_cast<HTREEITEM>(::SendMessageW(w, TVM_GETNEXTITEM, TVGN_CARET, 0)));
    case NativeKind::ShellList: {
        LRESULT index = ::SendMessageW(w, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED);
        if (index < 0) return {};
        LVITEMW item = {};
        item.mask = LVIF_PARAM;
        item.iItem = int(index);
        ::SendMessageW(w, LVM_GETITEMW, 0, LPARAM(&item));
        return ItemPathOf(c, item.lParam);
    }
    default: return {};
    }
}

}  // namespace qv::toolkit::detail
