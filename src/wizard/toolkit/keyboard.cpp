// Keyboard use of pages: what a dialog does with Tab, the arrows, Alt and a
// letter, Enter and Esc.
#include "wizard/toolkit/model_values.h"
#include "wizard/toolkit/window_layer.h"

namespace qv::toolkit {

namespace {

// The letter after a single "&" in a caption ("&&" is a plain "&").
wchar_t Mnemonic(const std::wstring& caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != L'&') continue;
        if (caption[i + 1] == L'&') {
            ++i;
            continue;
        }
        return caption[i + 1];
    }
    return 0;
}

bool SameLetter(wchar_t a, wchar_t b) {
    return ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(a))) ==
           ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(b)));
}

bool Usable(HWND w) { return w && ::IsWindowVisible(w) && ::IsWindowEnabled(w); }

// Labels are drawn by the page: their mnemonics focus their FocusControl,
// and the dialog manager must not see them.
bool LabelMnemonic(Page& page, wchar_t letter) {
    for (Control* c : page.controls()) {
        if (!c->controlClass() || c->controlClass()->kind != NativeKind::Label || !Usable(c->window())) continue;
        if (!Flag(c->model(), "ShowAccelChar", true)) continue;
        wchar_t mnemonic = Mnemonic(WindowText(c->window()));
        if (!mnemonic || !SameLetter(mnemonic, letter)) continue;
        Control* target = page.Find(Ident(c->model(), "FocusControl"));
        if (target && Usable(target->window())) ::SetFocus(target->window());
        return true;
    }
    return false;
}

bool DroppedDown(HWND focus) {
    HWND combo = focus;
    for (int i = 0; i < 2 && combo; ++i, combo = ::GetParent(combo)) {
        wchar_t name[32] = {};
        ::GetClassNameW(combo, name, 32);
        if (lstrcmpiW(name, L"COMBOBOX") == 0) return ::SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0) != 0;
    }
    return false;
}

}  // namespace

bool PreTranslatePageMessage(MSG& message) {
    Page* page = Page::OfWindow(message.hwnd);
    if (!page || !::IsWindowVisible(page->window())) return false;
    if (message.message == WM_KEYDOWN && (message.wParam == VK_ESCAPE || message.wParam == VK_RETURN)) {
        HWND focus = ::GetFocus();
        if (DroppedDown(focus)) return false;
        Control* focused = page->FromWindow(focus);
        if (message.wParam == VK_ESCAPE) {
            page->CancelKey();
            return true;
        }
        if (focused && focused->controlClass()) {
            NativeKind kind = focused->controlClass()->kind;
            if ((kind == NativeKind::Memo || kind == NativeKind::RichEdit) && Flag(focused->model(), "WantReturns", true))
                return false;
            // A focused button is the one Enter presses.
            if (kind == NativeKind::Button || kind == NativeKind::BitButton || kind == NativeKind::BmpButton) {
                ::SendMessageW(focus, BM_CLICK, 0, 0);
                return true;
            }
        }
        if (Control* button = page->DefaultButton()) ::SendMessageW(button->window(), BM_CLICK, 0, 0);
        return true;
    }
    if (message.message == WM_SYSCHAR && LabelMnemonic(*page, wchar_t(message.wParam))) return true;
    return ::IsDialogMessageW(page->window(), &message) != FALSE;
}

bool ProcessPageMessage(bool wait) {
    MSG message;
    if (wait) {
        BOOL got = ::GetMessageW(&message, nullptr, 0, 0);
        if (got == -1) return false;
        if (got == 0) {
            // Whoever runs the outer loop must still see the request to quit.
            ::PostQuitMessage(int(message.wParam));
            return false;
        }
    } else if (!::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    } else if (message.message == WM_QUIT) {
        ::PostQuitMessage(int(message.wParam));
        return false;
    }
    if (!PreTranslatePageMessage(message)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return true;
}

}  // namespace qv::toolkit
