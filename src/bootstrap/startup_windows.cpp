#include "bootstrap/startup_windows.h"

#include <commctrl.h>

#include "platform/files.h"
#include "wizard/message_table.h"

namespace qv::win {

namespace {

const char* kSplashClass = "QuorvexSplash";
const char* kPreparingClass = "QuorvexPreparing";
constexpr int kClientWidth = 385, kClientHeight = 89;

LRESULT CALLBACK SplashProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(w, &ps);
        auto picture = reinterpret_cast<HBITMAP>(::GetWindowLongPtrA(w, GWLP_USERDATA));
        if (picture) {
            HDC mem = ::CreateCompatibleDC(dc);
            HGDIOBJ old = ::SelectObject(mem, picture);
            BITMAP bm;
            ::GetObjectA(picture, sizeof bm, &bm);
            ::BitBlt(dc, 0, 0, bm.bmWidth, bm.bmHeight, mem, 0, 0, SRCCOPY);
            ::SelectObject(mem, old);
            ::DeleteDC(mem);
        }
        ::EndPaint(w, &ps);
        return 0;
    }
    return ::DefWindowProcA(w, msg, wp, lp);
}

LRESULT CALLBACK PreparingProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CTLCOLORSTATIC) {
        ::SetBkColor(reinterpret_cast<HDC>(wp), RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
    }
    if (msg == WM_CLOSE) return 0;
    return ::DefWindowProcA(w, msg, wp, lp);
}

void RegisterClasses(HINSTANCE instance) {
    WNDCLASSA wc = {};
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
    wc.lpfnWndProc = SplashProc;
    wc.lpszClassName = kSplashClass;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    ::RegisterClassA(&wc);
    wc.lpfnWndProc = PreparingProc;
    wc.lpszClassName = kPreparingClass;
    wc.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(1));
    ::RegisterClassA(&wc);
}

}  // namespace

StartupWindows::~StartupWindows() { Close(); }

void StartupWindows::Show(const std::string& setupFolder) {
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    RegisterClasses(instance);
    int screenW = ::GetSystemMetrics(SM_CXSCREEN), screenH = ::GetSystemMetrics(SM_CYSCREEN);

    std::string picturePath = setupFolder + "setup.bmp";
    if (FileExists(picturePath))
        picture_ = static_cast<HBITMAP>(::LoadImageA(nullptr, picturePath.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    RECT splashRect = {};
    if (picture_) {
        BITMAP bm;
        ::GetObjectA(picture_, sizeof bm, &bm);
        splashRect = {(screenW - bm.bmWidth) / 2, (screenH - bm.bmHeight) / 2, 0, 0};
        splashRect.right = splashRect.left + bm.bmWidth;
        splashRect.bottom = splashRect.top + bm.bmHeight;
        splash_ = ::CreateWindowExA(WS_EX_TOOLWINDOW, kSplashClass, "", WS_POPUP, splashRect.left, splashRect.top,
                                    bm.bmWidth, bm.bmHeight, nullptr, nullptr, instance, nullptr);
        if (splash_) {
            ::SetWindowLongPtrA(splash_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(picture_));
            ::ShowWindow(splash_, SW_SHOWNOACTIVATE);
            ::UpdateWindow(splash_);
        }
    }

    DWORD style = WS_POPUP | WS_CAPTION | WS_BORDER;
    RECT frame = {0, 0, kClientWidth, kClientHeight};
    ::AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
    int width = frame.right - frame.left, height = frame.bottom - frame.top;
    int left, top;
    if (splash_) {
        left = splashRect.left + (splashRect.right - splashRect.left) / 2 + 50;
        top = splashRect.bottom + 25;
        if (top > screenH - height - 45) top = screenH - height - 45;
        if (left > screenW - width - 25) left = screenW - width - 25;
    } else {
        left = (screenW - width) / 2;
        top = (screenH - height) / 2;
    }
    preparing_ = ::CreateWindowExA(WS_EX_DLGMODALFRAME, kPreparingClass, MessageText(Msg::WizardCaption).c_str(),
                                   style, left, top, width, height, nullptr, nullptr, instance, nullptr);
    if (!preparing_) return;
    HDC dc = ::GetDC(preparing_);
    int pixels = -::MulDiv(8, ::GetDeviceCaps(dc, LOGPIXELSY), 72);
    ::ReleaseDC(preparing_, dc);
    font_ = ::CreateFontA(pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "Tahoma");
    HWND icon = ::CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_ICON, 16, 16, 32, 32, preparing_,
                                  nullptr, instance, nullptr);
    ::SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(::LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_INFORMATION))), 0);
    HWND label = ::CreateWindowExA(0, "STATIC", MessageText(Msg::Preparing).c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT,
                                   72, 16, 297, 33, preparing_, nullptr, instance, nullptr);
    ::SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    progress_ = ::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 16, 56, 353, 17, preparing_, nullptr,
                                  instance, nullptr);
    ::ShowWindow(preparing_, SW_SHOWNORMAL);
    Repaint();
}

void StartupWindows::SetRange(int count) {
    if (!progress_) return;
    ::SendMessageA(progress_, PBM_SETRANGE32, 0, count);
    ::SendMessageA(progress_, PBM_SETPOS, 1, 0);
    Repaint();
}

void StartupWindows::Step() {
    if (!progress_) return;
    ::SendMessageA(progress_, PBM_DELTAPOS, 1, 0);
    Repaint();
}

void StartupWindows::Repaint() {
    if (preparing_) ::RedrawWindow(preparing_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (splash_ && ::IsWindowVisible(splash_)) ::RedrawWindow(splash_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void StartupWindows::Close() {
    if (preparing_) ::DestroyWindow(preparing_);
    if (splash_) ::DestroyWindow(splash_);
    preparing_ = splash_ = progress_ = nullptr;
    if (picture_) ::DeleteObject(picture_);
    if (font_) ::DeleteObject(font_);
    picture_ = nullptr;
    font_ = nullptr;
}

}  // namespace qv::win
