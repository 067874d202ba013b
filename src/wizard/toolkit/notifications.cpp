// What the native controls report, turned into the model's values and the
// toolkit's events.
#include "wizard/toolkit/model_values.h"
#include "wizard/toolkit/window_layer.h"

namespace qv::toolkit::detail {

namespace {

void ClickButton(Control& c) {
    FormObject& m = c.model();
    if (c.controlClass()->kind == NativeKind::SpeedButton) {
        int group = Number(m, "GroupIndex");
        if (group != 0) {
            bool down = ::SendMessageW(c.window(), BM_GETCHECK, 0, 0) == BST_CHECKED;
            // Within a group one button stays down unless AllowAllUp.
            if (!down && !Flag(m, "AllowAllUp")) {
                down = true;
                ::SendMessageW(c.window(), BM_SETCHECK, BST_CHECKED, 0);
            }
            FindProperty(m, "Down")->value = FormValue::Bool(down);
            if (down)
                for (Control* other : c.page().controls())
                    if (other != &c && other->parent() == c.parent() && other->controlClass() &&
                        other->controlClass()->kind == NativeKind::SpeedButton &&
                        Number(other->model(), "GroupIndex") == group) {
                        FindProperty(other->model(), "Down")->value = FormValue::Bool(false);
                        ::SendMessageW(other->window(), BM_SETCHECK, BST_UNCHECKED, 0);
                    }
        }
    }
    c.Fire("OnClick");
}

void ToggleCheck(Control& c) {
    FormObject& m = c.model();
    LRESULT state = ::SendMessageW(c.window(), BM_GETCHECK, 0, 0);
    LRESULT next = state == BST_UNCHECKED                          ? BST_CHECKED
                   : state == BST_CHECKED && Flag(m, "AllowGrayed") ? BST_INDETERMINATE
                                                                    : BST_UNCHECKED;
    ::SendMessageW(c.window(), BM_SETCHECK, WPARAM(next), 0);
    ReadBackProperty(c, m, "Checked");
    c.Fire("OnClick");
}

void ClickRadio(Control& c) {
    if (::SendMessageW(c.window(), BM_GETCHECK, 0, 0) == BST_CHECKED) return;
    ::SendMessageW(c.window(), BM_SETCHECK, BST_CHECKED, 0);
    FindProperty(c.model(), "Checked")->value = FormValue::Bool(true);
    CheckRadio(c);
    c.Fire("OnClick");
}

std::wstring SelectedItemText(HWND w, UINT getSelection, UINT getLength, UINT getText) {
    LRESULT index = ::SendMessageW(w, getSelection, 0, 0);
    if (index < 0) return {};
    LRESULT length = ::SendMessageW(w, getLength, WPARAM(index), 0);
    if (length < 0) return {};
    std::wstring text(std::size_t(length) + 1, L'\0');
    ::SendMessageW(w, getText, WPARAM(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(std::size_t(length));
    return text;
}

std::string ItemPath(const Control& c, LRESULT index) { return ItemPathOf(c, LPARAM(index)); }

}  // namespace

LRESULT Command(Control& c, int code) {
    HWND w = c.window();
    FormObject& m = c.model();
    switch (c.controlClass()->kind) {
    case NativeKind::Button:
    case NativeKind::BitButton:
    case NativeKind::SpeedButton:
    case NativeKind::BmpButton:
        if (code == BN_CLICKED) ClickButton(c);
        break;
    case NativeKind::CheckBox:
        if (code == BN_CLICKED) ToggleCheck(c);
        break;
    case NativeKind::RadioButton:
        if (code == BN_CLICKED) ClickRadio(c);
        break;
    case NativeKind::Label:
    case NativeKind::StaticText:
        if (code == STN_CLICKED) c.Fire("OnClick");
        if (code == STN_DBLCLK) c.Fire("OnDblClick");
        break;
    case NativeKind::Edit:
    case NativeKind::Memo:
    case NativeKind::RichEdit:
        if (code == EN_CHANGE) c.Fire("OnChange");
        break;
    case NativeKind::ListBox:
    case NativeKind::CheckListBox:
        if (code == LBN_SELCHANGE) c.Fire("OnClick");
        if (code == LBN_DBLCLK) c.Fire("OnDblClick");
        break;
    case NativeKind::FileList:
        if (code == LBN_SELCHANGE) {
            SetAnsiText(m, "FileName", SelectedPath(c));
            c.Fire("OnChange");
            c.Fire("OnClick");
        }
        if (code == LBN_DBLCLK) c.Fire("OnDblClick");
        break;
    case NativeKind::DirectoryList:
        if (code == LBN_DBLCLK) {
            std::string path = ItemPath(c, ::SendMessageW(w, LB_GETCURSEL, 0, 0));
            if (!path.empty()) {
                SetAnsiText(m, "Directory", path);
                FillFileControl(c);
                c.Fire("OnChange");
            }
        }
        if (code == LBN_SELCHANGE) c.Fire("OnClick");
        break;
    case NativeKind::ComboBox:
        if (code == CBN_EDITCHANGE) c.Fire("OnChange");
        if (code == CBN_SELCHANGE) {
            // The edit shows the chosen item only after this notification;
            // handlers read it already.
            std::wstring text = SelectedItemText(w, CB_GETCURSEL, CB_GETLBTEXTLEN, CB_GETLBTEXT);
            ::SetWindowTextW(w, text.c_str());
            c.Fire("OnClick");
            c.Fire("OnChange");
        }
        break;
    case NativeKind::DriveCombo:
        if (code == CBN_SELCHANGE) {
            std::string root = ItemPath(c, ::SendMessageW(w, CB_GETCURSEL, 0, 0));
            if (!root.empty()) SetAnsiText(m, "Drive", std::string(1, char(std::tolower(root[0]))));
            c.Fire("OnChange");
        }
        break;
    case NativeKind::FilterCombo:
        if (code == CBN_SELCHANGE) {
            SetAnsiText(m, "Mask", ItemPath(c, ::SendMessageW(w, CB_GETCURSEL, 0, 0)));
            c.Fire("OnChange");
        }
        break;
    case NativeKind::ShellCombo:
        if (code == CBN_SELCHANGE) {
            std::string path = ItemPath(c, ::SendMessageW(w, CB_GETCURSEL, 0, 0));
            SetAnsiText(m, "Path", path);
            ::SetWindowTextW(w, AnsiToWide(path).c_str());
            c.Fire("OnChange");
        }
        if (code == CBN_EDITCHANGE) {
            SetAnsiText(m, "Path", WideToAnsi(WindowText(w)));
            c.Fire("OnChange");
        }
        break;
    default: break;
    }
    return 0;
}

LRESULT Notify(Control& c, NMHDR& header, bool& handled) {
    NativeKind kind = c.controlClass()->kind;
    if (kind == NativeKind::TreeView || kind == NativeKind::ShellTree) {
        if (header.code == TVN_SELCHANGEDW) {
            auto& info = reinterpret_cast<NMTREEVIEWW&>(header);
            if (kind == NativeKind::ShellTree) SetAnsiText(c.model(), "Path", SelectedPath(c));
            Event e;
            e.node = info.itemNew.hItem;
            c.Fire("OnChange", e);
        } else if (header.code == TVN_ITEMEXPANDINGW && kind == NativeKind::ShellTree) {
            auto& info = reinterpret_cast<NMTREEVIEWW&>(header);
            if (info.action & TVE_EXPAND) ExpandShellNode(c, info.itemNew.hItem);
        } else if (header.code == NM_CLICK) {
            c.Fire("OnClick");
        }
        handled = true;
        return 0;
    }
    if (kind == NativeKind::ShellList) {
        if (header.code == LVN_ITEMCHANGED) {
            auto& info = reinterpret_cast<NMLISTVIEW&>(header);
            if (info.uChanged & LVIF_STATE) c.Fire("OnChange");
        } else if (header.code == NM_DBLCLK) {
            std::string path = SelectedPath(c);
            DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(AnsiToWide(path).c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                SetAnsiText(c.model(), "Path", path);
                FillFileControl(c);
            }
            c.Fire("OnDblClick");
        }
        handled = true;
        return 0;
    }
    return 0;
}

void Scrolled(Control& c, int code) {
    switch (c.controlClass()->kind) {
    case NativeKind::TrackBar:
        if (code != TB_ENDTRACK) {
            ReadBackProperty(c, c.model(), "Position");
            c.Fire("OnChange");
        }
        break;
    case NativeKind::UpDown:
        if (code != SB_ENDSCROLL) {
            ReadBackProperty(c, c.model(), "Position");
            c.Fire("OnClick");
            c.Fire("OnChange");
        }
        break;
    default: break;
    }
}

}  // namespace qv::toolkit::detail
