// Showing a control's property values in its window, and reading back what
// the user changed.
#include <windows.h>
#include <richedit.h>
#include <windows.h>
#include <shellapi.h>

#include "wizard/toolkit/model_values.h"
#include "wizard/toolkit/window_layer.h"

namespace qv::toolkit::detail {

namespace {

void ShowLines(Control& c) {
    std::wstring text;
    for (const std::wstring& line : WideLines(c.model(), "Lines")) text += line + L"\r\n";
    if (!text.empty()) text.resize(text.size() - 2);
    ::SetWindowTextW(c.window(), text.c_str());
}

void FillItems(Control& c, UINT reset, UINT add) {
    HWND w = c.window();
    ::SendMessageW(w, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(w, reset, 0, 0);
    for (const std::wstring& item : WideLines(c.model(), "Items"))
        ::SendMessageW(w, add, 0, reinterpret_cast<LPARAM>(item.c_str()));
    ::SendMessageW(w, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(w, nullptr, TRUE);
}

void ShowCheck(Control& c) {
    const FormObject& m = c.model();
    WPARAM state = Flag(m, "Checked") ? BST_CHECKED : BST_UNCHECKED;
    if (Is(m, "State", "cbGrayed") && Flag(m, "AllowGrayed")) state = BST_INDETERMINATE;
    ::SendMessageW(c.window(), BM_SETCHECK, state, 0);
}

void ShowRange(Control& c) {
    const FormObject& m = c.model();
    HWND w = c.window();
    int min = Number(m, "Min"), max = Number(m, "Max"), position = Number(m, "Position");
    switch (c.controlClass()->kind) {
    case NativeKind::TrackBar:
        ::SendMessageW(w, TBM_SETRANGEMIN, FALSE, min);
        ::SendMessageW(w, TBM_SETRANGEMAX, FALSE, max);
        ::SendMessageW(w, TBM_SETTICFREQ, WPARAM(Number(m, "Frequency", 1)), 0);
        ::SendMessageW(w, TBM_SETLINESIZE, 0, Number(m, "LineSize", 1));
        ::SendMessageW(w, TBM_SETPAGESIZE, 0, Number(m, "PageSize", 2));
        ::SendMessageW(w, TBM_SETPOS, TRUE, position);
        break;
    case NativeKind::ProgressBar:
        ::SendMessageW(w, PBM_SETRANGE32, WPARAM(min), LPARAM(max));
        ::SendMessageW(w, PBM_SETSTEP, WPARAM(Number(m, "Step", 10)), 0);
        ::SendMessageW(w, PBM_SETPOS, WPARAM(position), 0);
        break;
    case NativeKind::UpDown:
        ::SendMessageW(w, UDM_SETRANGE32, WPARAM(min), LPARAM(max));
        ::SendMessageW(w, UDM_SETPOS32, 0, position);
        break;
    default: break;
    }
}

void ShowAnimation(Control& c) {
    const FormObject& m = c.model();
    // The common animations are resources of the shell library.
    const struct {
        const char* name;
        int id;
    } common[] = {{"aviFindFolder", 150}, {"aviFindFile", 151},    {"aviFindComputer", 152}, {"aviCopyFiles", 160},
                  {"aviCopyFile", 161},   {"aviRecycleFile", 162}, {"aviEmptyRecycle", 163}, {"aviDeleteFile", 164}};
    HWND w = c.window();
    ::SendMessageW(w, ACM_OPENW, 0, 0);
    std::wstring file = WideText(m, "FileName");
    if (!file.empty()) {
        ::SendMessageW(w, ACM_OPENW, 0, reinterpret_cast<LPARAM>(file.c_str()));
    } else {
        for (const auto& a : common)
            if (Is(m, "CommonAVI", a.name)) {
                static HMODULE shell = ::LoadLibraryW(L"shell32.dll");
                ::SendMessageW(w, ACM_OPENW, reinterpret_cast<WPARAM>(shell), LPARAM(MAKEINTRESOURCEW(a.id)));
            }
    }
    if (Flag(m, "Active")) {
        int repetitions = Number(m, "Repetitions");
        ::SendMessageW(w, ACM_PLAY, WPARAM(repetitions == 0 ? -1 : repetitions), MAKELPARAM(0, 0xFFFF));
    }
}

void ShowTreeNodes(Control& c) {
    const FormProperty* data = FindProperty(c.model(), "Items.Data");
    if (!data || data->value.kind != FormValueKind::Binary) return;
    std::vector<TreeNodeData> nodes = ReadTreeNodes(data->value.bytes);
    c.ClearNodes();
    struct Adder {
        Control& c;
        void Add(HTREEITEM parent, const std::vector<TreeNodeData>& nodes) {
            for (const TreeNodeData& node : nodes) Add(c.AddNode(parent, node.text), node.children);
        }
    } adder{c};
    adder.Add(nullptr, nodes);
}

void LoadGlyph(Control& c) {
    ControlState& s = c.state();
    const char* property = c.controlClass()->kind == NativeKind::BmpButton ? "Bitmaps.Up.Data" : "Glyph.Data";
    const FormProperty* data = FindProperty(c.model(), property);
    s.picture = data && data->value.kind == FormValueKind::Binary ? ReadBitmapData(data->value.bytes, property)
                                                                   : Bitmap{{}, 0, 0, 0};
    s.glyphs.reset();
    s.bitmap.reset();
    if (!s.picture.width) return;
    auto* info = reinterpret_cast<const BITMAPINFO*>(s.picture.dib.data());
    HDC screen = ::GetDC(nullptr);
    s.bitmap.reset(::CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, s.picture.dib.data() + s.picture.bitsOffset,
                                    info, DIB_RGB_COLORS));
    ::ReleaseDC(nullptr, screen);
    if (c.controlClass()->kind == NativeKind::BmpButton) {
        const FormProperty* down = FindProperty(c.model(), "Bitmaps.Down.Data");
        if (down && down->value.kind == FormValueKind::Binary) {
            Bitmap pressed = ReadBitmapData(down->value.bytes, "Bitmaps.Down.Data");
            if (pressed.width) {
                auto* pi = reinterpret_cast<const BITMAPINFO*>(pressed.dib.data());
                HDC dc = ::GetDC(nullptr);
                s.downBitmap.reset(::CreateDIBitmap(dc, &pi->bmiHeader, CBM_INIT,
                                                    pressed.dib.data() + pressed.bitsOffset, pi, DIB_RGB_COLORS));
                ::ReleaseDC(nullptr, dc);
            }
        }
        ::InvalidateRect(c.window(), nullptr, TRUE);
        return;
    }
    // A glyph holds NumGlyphs pictures side by side (up, disabled, down,
    // held down); its bottom-left pixel is the transparent colour.
    int count = Number(c.model(), "NumGlyphs", 1);
    if (count < 1 || count > 4) count = 1;
    int width = s.picture.width / count;
    s.glyphs.reset(ImageList_Create(width, s.picture.height, ILC_COLOR24 | ILC_MASK, count, 0));
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, s.bitmap.get());
    COLORREF transparent = ::GetPixel(dc, 0, s.picture.height - 1);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    ImageList_AddMasked(s.glyphs.get(), s.bitmap.get(), transparent);
    BUTTON_IMAGELIST list = {};
    list.himl = s.glyphs.get();
    list.uAlign = BUTTON_IMAGELIST_ALIGN_LEFT;
    if (Is(c.model(), "Layout", "blGlyphRight")) list.uAlign = BUTTON_IMAGELIST_ALIGN_RIGHT;
    if (Is(c.model(), "Layout", "blGlyphTop")) list.uAlign = BUTTON_IMAGELIST_ALIGN_TOP;
    if (Is(c.model(), "Layout", "blGlyphBottom")) list.uAlign = BUTTON_IMAGELIST_ALIGN_BOTTOM;
    ::SendMessageW(c.window(), BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&list));
}

void LoadPicture(Control& c) {
    ControlState& s = c.state();
    const FormProperty* data = FindProperty(c.model(), "Picture.Data");
    s.picture = data && data->value.kind == FormValueKind::Binary ? ReadPictureData(data->value.bytes, "Picture.Data")
                                                                   : Bitmap{{}, 0, 0, 0};
    s.bitmap.reset();
    if (!s.picture.width) return;
    auto* info = reinterpret_cast<const BITMAPINFO*>(s.picture.dib.data());
    HDC screen = ::GetDC(nullptr);
    s.bitmap.reset(::CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, s.picture.dib.data() + s.picture.bitsOffset,
                                    info, DIB_RGB_COLORS));
    ::ReleaseDC(nullptr, screen);
}

void Repaint(Control& c) {
    if (c.window()) {
        ::InvalidateRect(c.window(), nullptr, TRUE);
        return;
    }
    RECT r = PlacedRect(c);
    ::InvalidateRect(ContainerWindow(c.parent(), c.page()), &r, TRUE);
}

bool Named(std::string_view name, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (EqualsIgnoreCaseAscii(name, n)) return true;
    return false;
}

}  // namespace

void UpdateAppearance(Control& c) {
    ControlState& s = c.state();
    const ControlState* parent = c.parent() ? &c.parent()->state() : &c.page().root().state();
    Page& page = c.page();
    if (&c == &page.root()) {
        s.font = ReadFont(c.model(), Font(), page.formPixelsPerInch());
        s.color = ReadColor(c.model(), "Color", Color::FromSystem(COLOR_BTNFACE), Color::FromSystem(COLOR_BTNFACE));
    } else {
        s.font = ReadFont(c.model(), parent->font, page.formPixelsPerInch());
        s.color = ReadColor(c.model(), "Color", parent->color, Color::FromSystem(COLOR_BTNFACE));
    }
    LOGFONTW lf = {};
    lf.lfHeight = page.Scale(s.font.height);
    lf.lfWeight = s.font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = s.font.italic;
    lf.lfUnderline = s.font.underline;
    lf.lfStrikeOut = s.font.strikeOut;
    lf.lfCharSet = BYTE(s.font.charset);
    lf.lfQuality = DEFAULT_QUALITY;
    std::wstring face = s.font.wideName ? Utf8ToWide(s.font.name) : AnsiToWide(s.font.name);
    lstrcpynW(lf.lfFaceName, face.c_str(), LF_FACESIZE);
    s.hfont.reset(::CreateFontIndirectW(&lf));
    s.brush.reset(s.color.kind == Color::Kind::None ? nullptr : ::CreateSolidBrush(ColorRefOf(s.color)));
    HWND w = &c == &page.root() ? page.window() : c.window();
    if (w) {
        ::SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(s.hfont.get()), TRUE);
        if (c.controlClass() && c.controlClass()->kind == NativeKind::RichEdit)
            ::SendMessageW(w, EM_SETBKGNDCOLOR, 0, LPARAM(ColorRefOf(s.color)));
    }
    for (Control* child : c.children()) UpdateAppearance(*child);
    if (&c != &page.root()) Repaint(c);
}

COLORREF ColorRefOf(const Color& color) {
    if (color.kind == Color::Kind::System) return ::GetSysColor(color.systemIndex);
    return COLORREF(color.rgb);
}

void ApplyProperty(Control& c, std::string_view name) {
    if (&c == &c.page().root()) {
        // The page itself: its window's title, font and colour.
        HWND page = c.page().window();
        if (name.empty() || Named(name, {"Caption"})) ::SetWindowTextW(page, WideText(c.model(), "Caption").c_str());
        if (name.empty() || Named(name, {"Font.Name", "Font.Height", "Font.Size", "Font.Style", "Font.Color",
                                         "Font.Charset", "Color"})) {
            UpdateAppearance(c);
            ::InvalidateRect(page, nullptr, TRUE);
        }
        return;
    }
    if (!c.controlClass()) return;
    bool all = name.empty();
    const FormObject& m = c.model();
    HWND w = c.window();
    NativeKind kind = c.controlClass()->kind;
    if (all || Named(name, {"Font.Name", "Font.Height", "Font.Size", "Font.Style", "Font.Color", "Font.Charset",
                            "ParentFont", "Color", "ParentColor"}))
        UpdateAppearance(c);
    if (kind == NativeKind::Image || kind == NativeKind::FormShape) {
        if (all || Named(name, {"Picture.Data"})) LoadPicture(c);
    }
    if (!all && Named(name, {"Left", "Top", "Width", "Height", "Align", "Visible"})) {
        if (w) ::ShowWindow(w, Flag(m, "Visible", true) ? SW_SHOWNA : SW_HIDE);
        c.page().Arrange(c.parent());
        Repaint(c);
        return;
    }
    if (!w) {
        if (!all) Repaint(c);
        return;
    }
    if (!all && Named(name, {"Enabled"})) ::EnableWindow(w, Flag(m, "Enabled", true));
    if (!all && Named(name, {"TabOrder", "TabStop"})) c.page().OrderWindows(c.parent());
    if (all || Named(name, {"Caption", "Text"})) {
        if (kind != NativeKind::Memo && kind != NativeKind::RichEdit && kind != NativeKind::FilterCombo &&
            kind != NativeKind::DriveCombo) {
            std::wstring text = FindProperty(m, "Caption") ? WideText(m, "Caption") : WideText(m, "Text");
            if (!all || !text.empty()) ::SetWindowTextW(w, text.c_str());
        }
    }
    switch (kind) {
    case NativeKind::Edit:
        if (all || Named(name, {"MaxLength"})) ::SendMessageW(w, EM_LIMITTEXT, WPARAM(Number(m, "MaxLength")), 0);
        if (all || Named(name, {"ReadOnly"})) ::SendMessageW(w, EM_SETREADONLY, Flag(m, "ReadOnly"), 0);
        if (all || Named(name, {"PasswordChar"})) {
            std::wstring mark = WideText(m, "PasswordChar");
            if (!mark.empty() && mark[0]) ::SendMessageW(w, EM_SETPASSWORDCHAR, mark[0], 0);
        }
        break;
    case NativeKind::Memo:
    case NativeKind::RichEdit:
        if (all || Named(name, {"Lines.Strings", "Lines"})) ShowLines(c);
        if (all || Named(name, {"MaxLength"})) ::SendMessageW(w, EM_LIMITTEXT, WPARAM(Number(m, "MaxLength")), 0);
        if (all || Named(name, {"ReadOnly"})) ::SendMessageW(w, EM_SETREADONLY, Flag(m, "ReadOnly"), 0);
        if (kind == NativeKind::RichEdit && (all || Named(name, {"ScrollBars"})))
            ::ShowScrollBar(w, SB_VERT, Is(m, "ScrollBars", "ssVertical") || Is(m, "ScrollBars", "ssBoth"));
        break;
    case NativeKind::CheckBox:
    case NativeKind::RadioButton:
        if (all || Named(name, {"Checked", "State"})) {
            bool was = ::SendMessageW(w, BM_GETCHECK, 0, 0) == BST_CHECKED;
            ShowCheck(c);
            if (kind == NativeKind::RadioButton && Flag(m, "Checked")) CheckRadio(c);
            if (!all && was != Flag(m, "Checked")) c.Fire("OnClick");
        }
        break;
    case NativeKind::SpeedButton:
        if (all || Named(name, {"Down"}))
            ::SendMessageW(w, BM_SETCHECK, Flag(m, "Down") ? BST_CHECKED : BST_UNCHECKED, 0);
        [[fallthrough]];
    case NativeKind::BitButton:
    case NativeKind::BmpButton:
        if (all || Named(name, {"Glyph.Data", "NumGlyphs", "Layout", "Bitmaps.Up.Data", "Bitmaps.Down.Data"}))
            LoadGlyph(c);
        break;
    case NativeKind::ListBox:
    case NativeKind::CheckListBox:
        if (all || Named(name, {"Items.Strings", "Items"})) FillItems(c, LB_RESETCONTENT, LB_ADDSTRING);
        if (all || Named(name, {"Items.Strings", "Items", "ItemIndex"}))
            ::SendMessageW(w, LB_SETCURSEL, WPARAM(Number(m, "ItemIndex", -1)), 0);
        if (kind == NativeKind::CheckListBox && (all || Named(name, {"ItemHeight"})))
            ::SendMessageW(w, LB_SETITEMHEIGHT, 0, c.page().Scale(Number(m, "ItemHeight", 13) + 2));
        break;
    case NativeKind::ComboBox:
        if (all || Named(name, {"Items.Strings", "Items"})) {
            std::wstring text = WindowText(w);
            FillItems(c, CB_RESETCONTENT, CB_ADDSTRING);
            ::SetWindowTextW(w, text.c_str());
        }
        if (all || Named(name, {"MaxLength"})) ::SendMessageW(w, CB_LIMITTEXT, WPARAM(Number(m, "MaxLength")), 0);
        if (Named(name, {"ItemIndex"}) || (all && Number(m, "ItemIndex", -1) >= 0))
            ::SendMessageW(w, CB_SETCURSEL, WPARAM(Number(m, "ItemIndex", -1)), 0);
        break;
    case NativeKind::TrackBar:
    case NativeKind::ProgressBar:
    case NativeKind::UpDown:
        if (all || Named(name, {"Min", "Max", "Position", "Frequency", "LineSize", "PageSize", "Step"})) {
            int before = kind == NativeKind::TrackBar ? int(::SendMessageW(w, TBM_GETPOS, 0, 0)) : 0;
            ShowRange(c);
            if (kind == NativeKind::TrackBar && !all && before != Number(m, "Position")) c.Fire("OnChange");
        }
        if (kind == NativeKind::UpDown && Named(name, {"Associate"})) {
            Control* buddy = c.page().Find(Ident(m, "Associate"));
            ::SendMessageW(w, UDM_SETBUDDY, WPARAM(buddy ? buddy->window() : nullptr), 0);
        }
        break;
    case NativeKind::Animate:
        if (all || Named(name, {"Active", "CommonAVI", "FileName", "Repetitions"})) ShowAnimation(c);
        break;
    case NativeKind::TreeView:
        if (all || Named(name, {"Items.Data"})) ShowTreeNodes(c);
        if (Named(name, {"ReadOnly", "HideSelection", "ShowButtons", "ShowLines", "ShowRoot", "RowSelect"})) {
            DWORD keep = DWORD(::GetWindowLongPtrW(w, GWL_STYLE)) & 0xFFFF0000u;
            DWORD style = 0;
            if (Flag(m, "ShowButtons", true)) style |= TVS_HASBUTTONS;
            if (Flag(m, "ShowLines", true)) style |= TVS_HASLINES;
            if (Flag(m, "ShowRoot", true)) style |= TVS_LINESATROOT;
            if (!Flag(m, "HideSelection", true)) style |= TVS_SHOWSELALWAYS;
            if (!Flag(m, "ReadOnly")) style |= TVS_EDITLABELS;
            if (Flag(m, "RowSelect")) style |= TVS_FULLROWSELECT;
            ::SetWindowLongPtrW(w, GWL_STYLE, LONG_PTR(keep | style));
        }
        break;
    case NativeKind::FileList:
    case NativeKind::DirectoryList:
    case NativeKind::DriveCombo:
    case NativeKind::FilterCombo:
    case NativeKind::ShellTree:
    case NativeKind::ShellList:
    case NativeKind::ShellCombo:
        if (all || Named(name, {"Directory", "FileName", "Mask", "Drive", "Path", "Filter", "FileType"}))
            FillFileControl(c);
        break;
    default: break;
    }
    if (!all && Named(name, {"Default"}) && (kind == NativeKind::Button || kind == NativeKind::BitButton))
        ::SendMessageW(w, BM_SETSTYLE, Flag(m, "Default") ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    if (!all && Named(name, {"Alignment", "WordWrap"})) ::InvalidateRect(w, nullptr, TRUE);
}

void ReadBackProperty(const Control& c, FormObject& m, std::string_view name) {
    if (!c.controlClass()) return;
    HWND w = c.window();
    switch (c.controlClass()->kind) {
    case NativeKind::Edit:
    case NativeKind::ComboBox:
    case NativeKind::ShellCombo:
        if (EqualsIgnoreCaseAscii(name, "Text")) {
            FormProperty* p = FindProperty(m, "Text");
            FormValue value = ValueOfWide(WindowText(w), p ? p->value : FormValue::Str(""));
            if (p) p->value = value;
            else m.properties.push_back({"Text", value});
        }
        if (c.controlClass()->kind == NativeKind::ComboBox && EqualsIgnoreCaseAscii(name, "ItemIndex"))
            FindProperty(m, "ItemIndex")->value = FormValue::Int(::SendMessageW(w, CB_GETCURSEL, 0, 0));
        break;
    case NativeKind::Memo:
    case NativeKind::RichEdit:
        if (EqualsIgnoreCaseAscii(name, "Lines.Strings") || EqualsIgnoreCaseAscii(name, "Lines")) {
            FormProperty* p = FindProperty(m, "Lines.Strings");
            FormValueKind kind = p && !p->value.items.empty() ? p->value.items.front().kind : FormValueKind::String;
            FormValue like;
            like.kind = kind;
            std::vector<FormValue> items;
            std::wstring text = WindowText(w);
            std::size_t start = 0;
            while (start < text.size() || (start == 0 && !text.empty())) {
                std::size_t end = text.find(L"\r\n", start);
                items.push_back(ValueOfWide(text.substr(start, end - start), like));
                if (end == std::wstring::npos) break;
                start = end + 2;
            }
            if (p) p->value = FormValue::ListOf(std::move(items));
            else m.properties.push_back({"Lines.Strings", FormValue::ListOf(std::move(items))});
        }
        break;
    case NativeKind::CheckBox:
    case NativeKind::RadioButton:
        if (EqualsIgnoreCaseAscii(name, "Checked") || EqualsIgnoreCaseAscii(name, "State")) {
            LRESULT state = ::SendMessageW(w, BM_GETCHECK, 0, 0);
            FindProperty(m, "Checked")->value = FormValue::Bool(state == BST_CHECKED);
            if (FormProperty* p = FindProperty(m, "State"))
                p->value = FormValue::Ident(state == BST_CHECKED         ? "cbChecked"
                                            : state == BST_INDETERMINATE ? "cbGrayed"
                                                                         : "cbUnchecked");
        }
        break;
    case NativeKind::SpeedButton:
        if (EqualsIgnoreCaseAscii(name, "Down") && Number(m, "GroupIndex") != 0)
            FindProperty(m, "Down")->value = FormValue::Bool(::SendMessageW(w, BM_GETCHECK, 0, 0) == BST_CHECKED);
        break;
    case NativeKind::ListBox:
    case NativeKind::CheckListBox:
    case NativeKind::FileList:
    case NativeKind::DirectoryList:
        if (EqualsIgnoreCaseAscii(name, "ItemIndex")) {
            if (FormProperty* p = FindProperty(m, "ItemIndex"))
                p->value = FormValue::Int(::SendMessageW(w, LB_GETCURSEL, 0, 0));
        }
        break;
    case NativeKind::TrackBar:
        if (EqualsIgnoreCaseAscii(name, "Position"))
            FindProperty(m, "Position")->value = FormValue::Int(::SendMessageW(w, TBM_GETPOS, 0, 0));
        break;
    case NativeKind::ProgressBar:
        if (EqualsIgnoreCaseAscii(name, "Position"))
            FindProperty(m, "Position")->value = FormValue::Int(::SendMessageW(w, PBM_GETPOS, 0, 0));
        break;
    case NativeKind::UpDown:
        if (EqualsIgnoreCaseAscii(name, "Position"))
            FindProperty(m, "Position")->value = FormValue::Int(::SendMessageW(w, UDM_GETPOS32, 0, 0));
        break;
    default: break;
    }
}

void CheckRadio(Control& radio) {
    for (Control* other : radio.page().controls()) {
        if (other == &radio || other->parent() != radio.parent() || !other->controlClass() ||
            other->controlClass()->kind != NativeKind::RadioButton)
            continue;
        FindProperty(other->model(), "Checked")->value = FormValue::Bool(false);
        if (other->window() && ::SendMessageW(other->window(), BM_GETCHECK, 0, 0) == BST_CHECKED) {
            ::SendMessageW(other->window(), BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
}

}  // namespace qv::toolkit::detail
