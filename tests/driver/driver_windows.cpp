#include "driver_windows.h"

#include <commctrl.h>

#include <algorithm>
#include <cctype>
#include <cstring>

namespace qvdriver {

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    int n = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring out(std::size_t(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n);
    return out;
}

namespace {

std::wstring TextOf(HWND w) {
    // WM_GETTEXT crosses processes for every window class.
    LRESULT n = ::SendMessageW(w, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(std::size_t(n > 0 ? n : 0) + 1, L'\0');
    n = ::SendMessageW(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::size_t(n > 0 ? n : 0));
    return text;
}

std::string ClassOf(HWND w) {
    wchar_t name[128] = {};
    ::GetClassNameW(w, name, 128);
    return Utf8(name);
}

bool Is(const std::string& a, const char* b) {
    return a.size() == std::strlen(b) &&
           std::equal(a.begin(), a.end(), b, [](char x, char y) { return std::tolower(x) == std::tolower(y); });
}

std::string WithoutMnemonic(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

std::vector<std::string> ListItems(HWND w, UINT count, UINT length, UINT get) {
    std::vector<std::string> items;
    LRESULT n = ::SendMessageW(w, count, 0, 0);
    for (LRESULT i = 0; i < n && i < 1000; ++i) {
        LRESULT len = ::SendMessageW(w, length, WPARAM(i), 0);
        if (len < 0) break;
        std::wstring text(std::size_t(len) + 1, L'\0');
        ::SendMessageW(w, get, WPARAM(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(std::size_t(len));
        items.push_back(Utf8(text));
    }
    return items;
}

void Notify(HWND control, int code) {
    ::SendMessageW(::GetParent(control), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(control), code),
                   reinterpret_cast<LPARAM>(control));
}

}  // namespace

namespace {

struct Search {
    std::string className, caption;
    HWND found = nullptr;
};

// Enumeration callbacks use the system's calling convention, which 32-bit
// lambdas do not have.
BOOL CALLBACK MatchTop(HWND w, LPARAM data) {
    auto* s = reinterpret_cast<Search*>(data);
    if (!::IsWindowVisible(w)) return TRUE;
    if (s->className != "*" && !Is(ClassOf(w), s->className.c_str())) return TRUE;
    if (!s->caption.empty() && s->caption != "*" && Utf8(TextOf(w)) != s->caption) return TRUE;
    s->found = w;
    return FALSE;
}

BOOL CALLBACK CollectChild(HWND w, LPARAM data) {
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(w);
    return TRUE;
}

}  // namespace

HWND FindTopWindow(const std::string& className, const std::string& caption) {
    Search search{className, caption};
    ::EnumWindows(MatchTop, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

ControlInfo Describe(HWND w) {
    ControlInfo info;
    info.window = w;
    info.className = ClassOf(w);
    if (auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(::GetPropW(w, L"QuorvexName")))) {
        wchar_t name[256] = {};
        if (::GlobalGetAtomNameW(atom, name, 256)) info.name = Utf8(name);
    }
    info.text = Utf8(TextOf(w));
    info.visible = ::IsWindowVisible(w);
    info.enabled = ::IsWindowEnabled(w);
    LONG style = LONG(::GetWindowLongPtrW(w, GWL_STYLE));
    const std::string& c = info.className;
    if (Is(c, "Button")) {
        LONG type = style & BS_TYPEMASK;
        if (type == BS_GROUPBOX) info.kind = "group";
        else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE || type == BS_AUTO3STATE)
            info.kind = (style & BS_PUSHLIKE) ? "toggle" : "check";
        else if (type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON) info.kind = "radio";
        else info.kind = "button";
        if (info.kind == "check" || info.kind == "radio" || info.kind == "toggle")
            info.checked = int(::SendMessageW(w, BM_GETCHECK, 0, 0));
    } else if (Is(c, "Edit") || c.rfind("RichEdit", 0) == 0 || c.rfind("RICHEDIT", 0) == 0) {
        info.kind = (style & ES_MULTILINE) ? "memo" : "edit";
    } else if (Is(c, "ListBox")) {
        info.kind = "list";
        info.selected = int(::SendMessageW(w, LB_GETCURSEL, 0, 0));
        info.items = ListItems(w, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
    } else if (Is(c, "ComboBox")) {
        info.kind = "combo";
        info.selected = int(::SendMessageW(w, CB_GETCURSEL, 0, 0));
        info.items = ListItems(w, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
    } else if (Is(c, "Static")) {
        info.kind = "label";
    } else if (Is(c, TRACKBAR_CLASSA)) {
        info.kind = "trackbar";
        info.position = int(::SendMessageW(w, TBM_GETPOS, 0, 0));
    } else if (Is(c, PROGRESS_CLASSA)) {
        info.kind = "progress";
        info.position = int(::SendMessageW(w, PBM_GETPOS, 0, 0));
    } else if (Is(c, UPDOWN_CLASSA)) {
        info.kind = "updown";
        info.position = int(::SendMessageW(w, UDM_GETPOS32, 0, 0));
    } else if (Is(c, WC_TREEVIEWA)) {
        info.kind = "tree";
    } else if (Is(c, WC_LISTVIEWA)) {
        info.kind = "listview";
    } else if (Is(c, "QuorvexPanel")) {
        info.kind = "panel";
    } else {
        info.kind = "other";
    }
    return info;
}

std::vector<ControlInfo> Controls(HWND top) {
    std::vector<HWND> windows;
    ::EnumChildWindows(top, CollectChild, reinterpret_cast<LPARAM>(&windows));
    std::vector<ControlInfo> controls;
    for (HWND w : windows) {
        // The edit inside a combo box belongs to the combo box.
        HWND parent = ::GetParent(w);
        if (parent != top && Is(ClassOf(parent), "ComboBox")) continue;
        controls.push_back(Describe(w));
    }
    return controls;
}

HWND FindControl(HWND top, const std::string& which) {
    if (which.empty()) return nullptr;
    for (const ControlInfo& c : Controls(top)) {
        if (which[0] == '#' && std::to_string(::GetDlgCtrlID(c.window)) == which.substr(1)) return c.window;
        if (which[0] == '=' && WithoutMnemonic(c.text) == which.substr(1)) return c.window;
        if (which[0] != '#' && which[0] != '=' && Is(c.name, which.c_str())) return c.window;
    }
    return nullptr;
}

std::string FocusedName(HWND top) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(top, nullptr), &info) || !info.hwndFocus) return {};
    HWND focus = info.hwndFocus;
    // The edit of a combo box stands for the combo box.
    if (::GetParent(focus) && Is(ClassOf(::GetParent(focus)), "ComboBox")) focus = ::GetParent(focus);
    ControlInfo c = Describe(focus);
    return c.name.empty() ? "#" + std::to_string(::GetDlgCtrlID(focus)) : c.name;
}

bool SetText(HWND control, const std::string& text, std::string& error) {
    ControlInfo c = Describe(control);
    if (c.kind != "edit" && c.kind != "memo" && c.kind != "combo") {
        error = "not an edit or combo box";
        return false;
    }
    ::SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
    // An edit reports the change itself; a combo box's edit only reports typing.
    if (c.kind == "combo") Notify(control, CBN_EDITCHANGE);
    return true;
}

bool Click(HWND control, std::string& error) {
    ControlInfo c = Describe(control);
    if (!c.visible || !c.enabled) {
        error = "the control is hidden or disabled";
        return false;
    }
    if (Is(c.className, "Button")) {
        // BM_CLICK waits for the click's handlers when sent, which may show a
        // message box; posting lets the driver go on to answer it.
        ::PostMessageW(control, BM_CLICK, 0, 0);
        return true;
    }
    RECT r;
    ::GetClientRect(control, &r);
    LPARAM at = MAKELPARAM(r.right / 2, r.bottom / 2);
    ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageW(control, WM_LBUTTONUP, 0, at);
    return true;
}

bool SetCheck(HWND control, bool on, std::string& error) {
    ControlInfo c = Describe(control);
    if (c.checked < 0) {
        error = "not a check box or radio button";
        return false;
    }
    if ((c.checked == 1) == on) return true;
    if (c.kind == "radio" && !on) {
        error = "a radio button is cleared by checking another";
        return false;
    }
    ::SendMessageW(control, BM_CLICK, 0, 0);
    if ((Describe(control).checked == 1) != on && c.kind == "check") ::SendMessageW(control, BM_CLICK, 0, 0);
    return true;
}

bool SelectItem(HWND control, const std::string& item, std::string& error) {
    ControlInfo c = Describe(control);
    if (c.kind != "list" && c.kind != "combo") {
        error = "not a list or combo box";
        return false;
    }
    int index = -1;
    if (!item.empty() && item[0] == '#') {
        index = std::atoi(item.c_str() + 1);
    } else {
        for (std::size_t i = 0; i < c.items.size(); ++i)
            if (c.items[i] == item) index = int(i);
    }
    if (index < 0 || std::size_t(index) >= c.items.size()) {
        error = "no item " + item;
        return false;
    }
    bool list = c.kind == "list";
    ::SendMessageW(control, list ? LB_SETCURSEL : CB_SETCURSEL, WPARAM(index), 0);
    Notify(control, list ? LBN_SELCHANGE : CBN_SELCHANGE);
    return true;
}

namespace {

struct NamedKey {
    const char* name;
    WORD key;
};
const NamedKey kKeys[] = {{"TAB", VK_TAB},     {"ENTER", VK_RETURN}, {"ESC", VK_ESCAPE},   {"SPACE", VK_SPACE},
                          {"UP", VK_UP},       {"DOWN", VK_DOWN},    {"LEFT", VK_LEFT},    {"RIGHT", VK_RIGHT},
                          {"HOME", VK_HOME},   {"END", VK_END},      {"BACKSPACE", VK_BACK}, {"DELETE", VK_DELETE},
                          {"F1", VK_F1},       {"F2", VK_F2},        {"F3", VK_F3},        {"F4", VK_F4},
                          {"F5", VK_F5},       {"F6", VK_F6},        {"F7", VK_F7},        {"F8", VK_F8},
                          {"F9", VK_F9},       {"F10", VK_F10},      {"F11", VK_F11},      {"F12", VK_F12}};

void Key(std::vector<INPUT>& inputs, WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
}

void Unicode(std::vector<INPUT>& inputs, wchar_t ch) {
    for (bool up : {false, true}) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wScan = ch;
        input.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
        inputs.push_back(input);
    }
}

}  // namespace

bool SendKeys(HWND top, const std::string& keys, std::string& error) {
    ::SetForegroundWindow(top);
    std::wstring text = Wide(keys);
    std::vector<INPUT> inputs;
    WORD modifier = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        wchar_t ch = text[i];
        WORD key = 0;
        if (ch == L'%' || ch == L'+' || ch == L'^') {
            modifier = ch == L'%' ? VK_MENU : ch == L'+' ? VK_SHIFT : VK_CONTROL;
            continue;
        }
        if (ch == L'{') {
            std::size_t close = text.find(L'}', i);
            if (close == std::wstring::npos) {
                error = "a key name has no closing '}'";
                return false;
            }
            std::string name = Utf8(text.substr(i + 1, close - i - 1));
            for (const NamedKey& k : kKeys)
                if (Is(name, k.name)) key = k.key;
            if (!key) {
                error = "unknown key {" + name + "}";
                return false;
            }
            i = close;
        } else if (modifier) {
            SHORT scan = ::VkKeyScanW(ch);
            key = WORD(scan & 0xFF);
        }
        if (modifier) Key(inputs, modifier, false);
        if (key) Key(inputs, key, false), Key(inputs, key, true);
        else Unicode(inputs, ch);
        if (modifier) Key(inputs, modifier, true);
        modifier = 0;
    }
    if (!inputs.empty() && ::SendInput(UINT(inputs.size()), inputs.data(), sizeof(INPUT)) != inputs.size()) {
        error = "the keys could not be sent";
        return false;
    }
    return true;
}

}  // namespace qvdriver
