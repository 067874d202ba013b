// The two windows shown while the setup prepares its wizard: the splash
// picture ("setup.bmp" beside the setup, when there is one) and the small
// "preparing" window with a progress bar. No message loop runs during
// start-up, so both are repainted explicitly.
#pragma once

#include <windows.h>

#include <string>

namespace qv::win {

class StartupWindows {
public:
    StartupWindows() = default;
    StartupWindows(const StartupWindows&) = delete;
    StartupWindows& operator=(const StartupWindows&) = delete;
    ~StartupWindows();

    void Show(const std::string& setupFolder);
    HWND owner() const { return preparing_; }
    void SetRange(int count);
    void Step();
    void Close();

private:
    void Repaint();

    HWND splash_ = nullptr;
    HWND preparing_ = nullptr;
    HWND progress_ = nullptr;
    HBITMAP picture_ = nullptr;
    HFONT font_ = nullptr;
};

}  // namespace qv::win
