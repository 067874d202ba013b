// The native window of each control kind: its window class and styles.
#include <windows.h>
#include <richedit.h>

#include "wizard/toolkit/model_values.h"
#include "wizard/toolkit/window_layer.h"

namespace qv::toolkit::detail {

namespace {

const wchar_t* RichEditClass() {
    // Loaded once for the life of the process: rich edits need it.
    static HMODULE library = ::LoadLibraryW(L"riched20.dll");
    return library ? RICHEDIT_CLASSW : L"EDIT";
}

DWORD Scrolling(const FormObject& m) {
    std::string bars = Ident(m, "ScrollBars", "ssNone");
    DWORD style = 0;
    if (EqualsIgnoreCaseAscii(bars, "ssVertical") || EqualsIgnoreCaseAscii(bars, "ssBoth")) style |= WS_VSCROLL;
    if (EqualsIgnoreCaseAscii(bars, "ssHorizontal") || EqualsIgnoreCaseAscii(bars, "ssBoth")) style |= WS_HSCROLL;
    return style;
}

DWORD TextAlign(const FormObject& m, DWORD left, DWORD center, DWORD right) {
    switch (ParseTextAlignment(Ident(m, "Alignment"))) {
    case TextAlignment::Center: return center;
    case TextAlignment::Right: return right;
    case TextAlignment::Left: break;
    }
    return left;
}

struct WindowKind {
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
};

WindowKind KindOf(const Control& c) {
    const FormObject& m = c.model();
    bool border = !Is(m, "BorderStyle", "bsNone");
    DWORD edge = border ? WS_EX_CLIENTEDGE : 0;
    switch (c.controlClass()->kind) {
    case NativeKind::Label:
        return {L"STATIC", SS_NOTIFY | SS_OWNERDRAW, 0};
    case NativeKind::Edit: {
        DWORD style = ES_AUTOHSCROLL | TextAlign(m, ES_LEFT, ES_CENTER, ES_RIGHT);
        if (Flag(m, "ReadOnly")) style |= ES_READONLY;
        if (Is(m, "CharCase", "ecUpperCase")) style |= ES_UPPERCASE;
        if (Is(m, "CharCase", "ecLowerCase")) style |= ES_LOWERCASE;
        if (FindProperty(m, "PasswordChar") && !AnsiText(m, "PasswordChar").empty() &&
            AnsiText(m, "PasswordChar") != std::string(1, '\0'))
            style |= ES_PASSWORD;
        return {L"EDIT", style, edge};
    }
    case NativeKind::Memo:
    case NativeKind::RichEdit: {
        DWORD style = ES_MULTILINE | ES_AUTOVSCROLL | Scrolling(m) | TextAlign(m, ES_LEFT, ES_CENTER, ES_RIGHT);
        if (!Flag(m, "WordWrap", true)) style |= ES_AUTOHSCROLL;
        if (Flag(m, "WantReturns", true)) style |= ES_WANTRETURN;
        if (Flag(m, "ReadOnly")) style |= ES_READONLY;
        if (!Flag(m, "HideSelection", true)) style |= ES_NOHIDESEL;
        bool rich = c.controlClass()->kind == NativeKind::RichEdit;
        return {rich ? RichEditClass() : L"EDIT", style, edge};
    }
    case NativeKind::Button:
    case NativeKind::BitButton: {
        DWORD style = Flag(m, "Default") ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
        if (Flag(m, "WordWrap")) style |= BS_MULTILINE;
        return {L"BUTTON", style, 0};
    }
    case NativeKind::SpeedButton: {
        DWORD style = Number(m, "GroupIndex") != 0 ? BS_AUTOCHECKBOX | BS_PUSHLIKE : BS_PUSHBUTTON;
        if (Flag(m, "Flat")) style |= BS_FLAT;
        return {L"BUTTON", style, 0};
    }
    case NativeKind::CheckBox:
    case NativeKind::RadioButton: {
        bool check = c.controlClass()->kind == NativeKind::CheckBox;
        DWORD style = check ? (Flag(m, "AllowGrayed") ? BS_3STATE : BS_CHECKBOX) : BS_RADIOBUTTON;
        if (Is(m, "Alignment", "taLeftJustify")) style |= BS_LEFTTEXT;
        if (Flag(m, "WordWrap")) style |= BS_MULTILINE;
        return {L"BUTTON", style, 0};
    }
    case NativeKind::ListBox:
    case NativeKind::CheckListBox:
    case NativeKind::FileList:
    case NativeKind::DirectoryList: {
        DWORD style = LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
        if (Flag(m, "Sorted") || c.controlClass()->kind == NativeKind::FileList) style |= LBS_SORT;
        if (Flag(m, "MultiSelect")) style |= LBS_EXTENDEDSEL;
        if (Number(m, "Columns") > 0) style |= LBS_MULTICOLUMN | WS_HSCROLL;
        if (c.controlClass()->kind == NativeKind::CheckListBox) style |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
        return {L"LISTBOX", style, edge};
    }
    case NativeKind::ComboBox: {
        DWORD style = WS_VSCROLL | CBS_AUTOHSCROLL;
        if (Is(m, "Style", "csDropDownList") || Is(m, "Style", "csOwnerDrawFixed")) style |= CBS_DROPDOWNLIST;
        else if (Is(m, "Style", "csSimple")) style |= CBS_SIMPLE;
        else style |= CBS_DROPDOWN;
        if (Flag(m, "Sorted")) style |= CBS_SORT;
        return {L"COMBOBOX", style, 0};
    }
    case NativeKind::DriveCombo:
    case NativeKind::FilterCombo: return {L"COMBOBOX", WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    case NativeKind::ShellCombo: return {L"COMBOBOX", WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL, 0};
    case NativeKind::GroupBox: return {L"BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case NativeKind::Panel:
        return {kPanelClass, WS_CLIPCHILDREN | (Is(m, "BorderStyle", "bsSingle") ? WS_BORDER : 0u),
                WS_EX_CONTROLPARENT};
    case NativeKind::StaticText: {
        DWORD style = SS_NOTIFY | TextAlign(m, SS_LEFT, SS_CENTER, SS_RIGHT);
        if (!Flag(m, "ShowAccelChar", true)) style |= SS_NOPREFIX;
        if (Is(m, "BorderStyle", "sbsSingle")) style |= WS_BORDER;
        if (Is(m, "BorderStyle", "sbsSunken")) style |= SS_SUNKEN;
        return {L"STATIC", style, 0};
    }
    case NativeKind::TrackBar: {
        bool vertical = Is(m, "Orientation", "trVertical");
        DWORD style = vertical ? TBS_VERT : TBS_HORZ;
        if (Is(m, "TickStyle", "tsAuto")) style |= TBS_AUTOTICKS;
        if (Is(m, "TickStyle", "tsNone")) style |= TBS_NOTICKS;
        if (Is(m, "TickMarks", "tmBoth")) style |= TBS_BOTH;
        else if (Is(m, "TickMarks", "tmTopLeft")) style |= vertical ? TBS_LEFT : TBS_TOP;
        return {TRACKBAR_CLASSW, style, 0};
    }
    case NativeKind::ProgressBar: {
        DWORD style = 0;
        if (Flag(m, "Smooth")) style |= PBS_SMOOTH;
        if (Is(m, "Orientation", "pbVertical")) style |= PBS_VERTICAL;
        return {PROGRESS_CLASSW, style, 0};
    }
    case NativeKind::UpDown: {
        DWORD style = UDS_SETBUDDYINT;
        if (Flag(m, "ArrowKeys", true)) style |= UDS_ARROWKEYS;
        if (!Flag(m, "Thousands", true)) style |= UDS_NOTHOUSANDS;
        if (Flag(m, "Wrap")) style |= UDS_WRAP;
        if (Is(m, "Orientation", "udHorizontal")) style |= UDS_HORZ;
        return {UPDOWN_CLASSW, style, 0};
    }
    case NativeKind::Animate: {
        DWORD style = 0;
        if (Flag(m, "Center", true)) style |= ACS_CENTER;
        if (Flag(m, "Transparent", true)) style |= ACS_TRANSPARENT;
        return {ANIMATE_CLASSW, style, 0};
    }
    case NativeKind::TreeView:
    case NativeKind::ShellTree: {
        DWORD style = 0;
        bool shell = c.controlClass()->kind == NativeKind::ShellTree;
        if (shell || Flag(m, "ShowButtons", true)) style |= TVS_HASBUTTONS;
        if (shell || Flag(m, "ShowLines", true)) style |= TVS_HASLINES;
        if (shell || Flag(m, "ShowRoot", true)) style |= TVS_LINESATROOT;
        if (!Flag(m, "HideSelection", true)) style |= TVS_SHOWSELALWAYS;
        if (!shell && !Flag(m, "ReadOnly")) style |= TVS_EDITLABELS;
        if (Flag(m, "RowSelect")) style |= TVS_FULLROWSELECT;
        return {WC_TREEVIEWW, style, edge};
    }
    case NativeKind::ShellList: {
        DWORD style = LVS_LIST | LVS_SINGLESEL | LVS_SHAREIMAGELISTS;
        if (!Flag(m, "HideSelection", true)) style |= LVS_SHOWSELALWAYS;
        return {WC_LISTVIEWW, style, edge};
    }
    case NativeKind::Placeholder: return {kPlaceholderClass, 0, WS_EX_CLIENTEDGE};
    case NativeKind::BmpButton: return {L"BUTTON", BS_OWNERDRAW, 0};
    case NativeKind::Image:
    case NativeKind::Shape:
    case NativeKind::Bevel:
    case NativeKind::Gauge:
    case NativeKind::FormShape: break;
    }
    return {nullptr, 0, 0};
}

LRESULT CALLBACK ControlProc(HWND w, UINT message, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    auto* control = reinterpret_cast<Control*>(data);
    switch (message) {
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
        LRESULT result = ::DefSubclassProc(w, message, wp, lp);
        Event e;
        e.x = short(LOWORD(lp)), e.y = short(HIWORD(lp));
        e.button = message == WM_LBUTTONUP ? 0 : message == WM_RBUTTONUP ? 1 : 2;
        control->Fire("OnMouseUp", e);
        return result;
    }
    case WM_LBUTTONDBLCLK: {
        LRESULT result = ::DefSubclassProc(w, message, wp, lp);
        control->Fire("OnDblClick");
        return result;
    }
    case WM_SETFOCUS: {
        LRESULT result = ::DefSubclassProc(w, message, wp, lp);
        control->Fire("OnEnter");
        return result;
    }
    case WM_KILLFOCUS: {
        LRESULT result = ::DefSubclassProc(w, message, wp, lp);
        control->Fire("OnExit");
        return result;
    }
    case WM_LBUTTONDOWN:
        // A click on the box of a check list item toggles it.
        if (control->controlClass()->kind == NativeKind::CheckListBox) {
            LRESULT hit = ::SendMessageW(w, LB_ITEMFROMPOINT, 0, lp);
            int x = short(LOWORD(lp));
            int box = ::GetSystemMetrics(SM_CXMENUCHECK) + 4;
            if (HIWORD(hit) == 0 && x < box) {
                LRESULT result = ::DefSubclassProc(w, message, wp, lp);
                int item = LOWORD(hit);
                control->SetItemChecked(item, !control->ItemChecked(item));
                Event e;
                e.item = item;
                control->Fire("OnClickCheck", e);
                return result;
            }
        }
        break;
    case WM_CHAR:
        if (wp == L' ' && control->controlClass()->kind == NativeKind::CheckListBox) {
            int item = int(::SendMessageW(w, LB_GETCURSEL, 0, 0));
            if (item >= 0) {
                control->SetItemChecked(item, !control->ItemChecked(item));
                Event e;
                e.item = item;
                control->Fire("OnClickCheck", e);
            }
            return 0;
        }
        break;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
        if (control->controlClass()->container) {
            bool handled = false;
            LRESULT result = control->page().Route(w, message, wp, lp, handled);
            if (handled) return result;
        }
        break;
    case WM_ERASEBKGND:
        // A group box leaves its inside to its parent, but it is the parent
        // of its own controls.
        if (control->controlClass()->kind == NativeKind::GroupBox) {
            RECT r;
            ::GetClientRect(w, &r);
            HBRUSH brush = control->state().brush.get();
            ::FillRect(reinterpret_cast<HDC>(wp), &r, brush ? brush : ::GetSysColorBrush(COLOR_BTNFACE));
            return 1;
        }
        break;
    case WM_PAINT:
        if (control->controlClass()->kind == NativeKind::GroupBox) {
            LRESULT result = ::DefSubclassProc(w, message, wp, lp);
            HDC dc = ::GetDC(w);
            RECT all;
            ::GetClientRect(w, &all);
            PaintContainer(*control, dc, all);
            ::ReleaseDC(w, dc);
            return result;
        }
        break;
    case WM_NCDESTROY: ::RemoveWindowSubclass(w, ControlProc, 1); break;
    }
    return ::DefSubclassProc(w, message, wp, lp);
}

}  // namespace

bool IsPainted(const Control& control) {
    if (!control.controlClass()) return false;
    switch (control.controlClass()->kind) {
    case NativeKind::Image:
    case NativeKind::Shape:
    case NativeKind::Bevel:
    case NativeKind::Gauge:
    case NativeKind::FormShape: return true;
    default: return false;
    }
}

HWND CreateControlWindow(Control& control, HWND parent, const RECT& rect, int id) {
    if (!control.controlClass() || IsPainted(control)) return nullptr;
    const FormObject& m = control.model();
    WindowKind kind = KindOf(control);
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | kind.style;
    if (Flag(m, "Visible", true)) style |= WS_VISIBLE;
    if (!Flag(m, "Enabled", true)) style |= WS_DISABLED;
    if (control.controlClass()->windowed && Flag(m, "TabStop")) style |= WS_TABSTOP;
    int height = rect.bottom - rect.top;
    if (kind.className == std::wstring(L"COMBOBOX"))
        height += control.page().Scale(16) * (Number(m, "DropDownCount", 8) + 1);
    std::wstring text;
    if (control.controlClass()->kind != NativeKind::Memo && control.controlClass()->kind != NativeKind::RichEdit)
        text = FindProperty(m, "Caption") ? WideText(m, "Caption") : WideText(m, "Text");
    HWND window = ::CreateWindowExW(kind.exStyle, kind.className, text.c_str(), style, rect.left, rect.top,
                                    rect.right - rect.left, height, parent,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                                    &control);
    if (!window) return nullptr;
    ::SetWindowSubclass(window, ControlProc, 1, reinterpret_cast<DWORD_PTR>(&control));
    if (control.controlClass()->kind == NativeKind::RichEdit)
        ::SendMessageW(window, EM_SETEVENTMASK, 0, ENM_CHANGE);
    return window;
}

}  // namespace qv::toolkit::detail
