#include <windows.h>

#include "wizard/language_form.h"

#include <algorithm>
#include <vector>

#include "platform/handles.h"
#include "wizard/message_table.h"

namespace qv::win {

namespace {

// The form's controls. OK and Cancel carry the identifiers that Enter and Esc
// send to a dialog.
enum : WORD { kImage1 = 100, kLabel1 = 101, kLangCombo = 102, kBitBtn1 = IDOK, kBitBtn2 = IDCANCEL };

struct GdiCloser {
    void operator()(HGDIOBJ object) const { ::DeleteObject(object); }
};
using UniqueGdi = Unique<HGDIOBJ, nullptr, GdiCloser>;

// An in-memory dialog template. Positions are in dialog units of the form's
// font, Tahoma 8 pt, so the system scales the form with the screen's DPI.
class DialogTemplate {
public:
    DialogTemplate(DWORD style, short cx, short cy, const wchar_t* font, WORD points) {
        Dword(style);
        Dword(0);          // extended style
        countAt_ = words_.size();
        Word(0);           // number of items, counted as they are added
        Short(0);
        Short(0);
        Short(cx);
        Short(cy);
        Word(0);           // no menu
        Word(0);           // the standard dialog class
        Word(0);           // the caption is set when the form opens
        Word(points);
        Text(font);
    }

    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD classAtom) {
        if (words_.size() % 2) Word(0);  // each item starts on a DWORD boundary
        Dword(style | WS_CHILD | WS_VISIBLE);
        Dword(0);
        Short(x);
        Short(y);
        Short(cx);
        Short(cy);
        Word(id);
        Word(0xFFFF);
        Word(classAtom);
        Word(0);  // texts come from the message table when the form opens
        Word(0);  // no creation data
        ++words_[countAt_];
    }

    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Word(WORD w) { words_.push_back(w); }
    void Short(short s) { words_.push_back(WORD(s)); }
    void Dword(DWORD d) {
        Word(LOWORD(d));
        Word(HIWORD(d));
    }
    void Text(const wchar_t* text) {
        for (; *text; ++text) Word(WORD(*text));
        Word(0);
    }

    std::vector<WORD> words_;
    std::size_t countAt_ = 0;
};

constexpr WORD kButtonAtom = 0x0080, kStaticAtom = 0x0082, kComboAtom = 0x0085;

struct FormState {
    const std::vector<std::string>* languages;
    std::size_t preselected;
    std::optional<std::size_t> chosen;
    UniqueGdi white{::CreateSolidBrush(RGB(255, 255, 255))};
};

// Image1: a globe, drawn to the size the dialog gave the control so that it
// stays sharp at any DPI.
void DrawGlobe(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    ::FillRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    int size = std::min(r.right - r.left, r.bottom - r.top);
    if (size < 4) return;
    int left = r.left + (r.right - r.left - size) / 2, top = r.top + (r.bottom - r.top - size) / 2;
    int right = left + size, bottom = top + size, cx = left + size / 2, cy = top + size / 2;
    int line = std::max(1, size / 20);

    UniqueGdi sea(::CreateSolidBrush(RGB(52, 120, 198)));
    UniqueGdi rim(::CreatePen(PS_SOLID, line, RGB(22, 70, 140)));
    UniqueGdi grid(::CreatePen(PS_SOLID, line, RGB(220, 236, 255)));
    HGDIOBJ oldBrush = ::SelectObject(dc, sea.get());
    HGDIOBJ oldPen = ::SelectObject(dc, rim.get());
    ::Ellipse(dc, left, top, right, bottom);

    ::SelectObject(dc, grid.get());
    ::SelectObject(dc, ::GetStockObject(NULL_BRUSH));
    int inset = size / 4;
    ::Ellipse(dc, left + inset, top + line, right - inset, bottom - line);  // meridians
    ::MoveToEx(dc, cx, top + line, nullptr);
    ::LineTo(dc, cx, bottom - line);
    ::MoveToEx(dc, left + line, cy, nullptr);  // equator and two parallels
    ::LineTo(dc, right - line, cy);
    int parallel = size * 3 / 10;
    ::MoveToEx(dc, left + size / 7, cy - parallel, nullptr);
    ::LineTo(dc, right - size / 7, cy - parallel);
    ::MoveToEx(dc, left + size / 7, cy + parallel, nullptr);
    ::LineTo(dc, right - size / 7, cy + parallel);

    ::SelectObject(dc, rim.get());
    ::Ellipse(dc, left, top, right, bottom);
    ::SelectObject(dc, oldPen);
    ::SelectObject(dc, oldBrush);
}

void InitForm(HWND dialog, FormState& state) {
    ::SetWindowTextA(dialog, MessageText(Msg::SelectLanguageCaption).c_str());
    ::SetDlgItemTextA(dialog, kLabel1, MessageText(Msg::SelectLanguageText).c_str());
    ::SetDlgItemTextA(dialog, kBitBtn1, MessageText(Msg::OK).c_str());
    ::SetDlgItemTextA(dialog, kBitBtn2, MessageText(Msg::Cancel).c_str());
    HWND combo = ::GetDlgItem(dialog, kLangCombo);
    for (const auto& language : *state.languages)
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(language.c_str()));
    ::SendMessageA(combo, CB_SETCURSEL, WPARAM(state.preselected), 0);
    ::SetForegroundWindow(dialog);
}

INT_PTR CALLBACK FormProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<FormState*>(::GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        InitForm(dialog, *reinterpret_cast<FormState*>(lParam));
        return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
        if (!state) break;
        ::SetBkColor(reinterpret_cast<HDC>(wParam), RGB(255, 255, 255));
        return reinterpret_cast<INT_PTR>(state->white.get());
    case WM_DRAWITEM:
        if (wParam != kImage1) break;
        DrawGlobe(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == kBitBtn1) {
            LRESULT selected = ::SendDlgItemMessageA(dialog, kLangCombo, CB_GETCURSEL, 0, 0);
            if (selected != CB_ERR) state->chosen = std::size_t(selected);
            ::EndDialog(dialog, IDOK);
            return TRUE;
        }
        if (LOWORD(wParam) == kBitBtn2) {
            ::EndDialog(dialog, IDCANCEL);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

TSetLanguage::TSetLanguage(std::vector<std::string> languages, std::size_t preselected)
    : languages_(std::move(languages)), preselected_(preselected) {}

std::optional<std::size_t> TSetLanguage::ShowModal() {
    DialogTemplate form(DS_SETFONT | DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU, 214, 74,
                        L"Tahoma", 8);
    form.Item(SS_OWNERDRAW, 7, 8, 17, 15, kImage1, kStaticAtom);  // 24 x 24 pixels at 96 DPI
    form.Item(SS_LEFT, 30, 8, 177, 18, kLabel1, kStaticAtom);
    form.Item(CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 30, 30, 177, 120, kLangCombo, kComboAtom);
    form.Item(BS_DEFPUSHBUTTON | WS_TABSTOP, 99, 53, 52, 15, kBitBtn1, kButtonAtom);
    form.Item(BS_PUSHBUTTON | WS_TABSTOP, 155, 53, 52, 15, kBitBtn2, kButtonAtom);

    FormState state{&languages_, preselected_, std::nullopt};
    INT_PTR result = ::DialogBoxIndirectParamA(::GetModuleHandleA(nullptr), form.get(), nullptr, FormProc,
                                               reinterpret_cast<LPARAM>(&state));
    if (result != IDOK) return std::nullopt;
    return state.chosen;
}

}  // namespace qv::win
