// What the test driver sees of another process's windows and does to them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace qvdriver {

// A control as the driver reports it.
struct ControlInfo {
    HWND window = nullptr;
    std::string name;       // the component's Name the page publishes, or ""
    std::string className;  // the window class ("Button", "Edit", ...)
    std::string kind;       // button, check, radio, edit, list, combo, ...
    std::string text;
    bool visible = false, enabled = false;
    int checked = -1;       // check and radio boxes: 0, 1 or 2 (grayed)
    int selected = -1;      // lists and combo boxes: the selected item
    int position = -1;      // track bars, progress bars
    std::vector<std::string> items;  // lists and combo boxes
};

// Top-level windows that are visible, with the class ("*": any) and the
// caption ("*" or empty: any).
HWND FindTopWindow(const std::string& className, const std::string& caption);
std::vector<ControlInfo> Controls(HWND top);
ControlInfo Describe(HWND window);
// By Name, by "#id", or by "=Text" (the text without "&").
HWND FindControl(HWND top, const std::string& which);
std::string FocusedName(HWND top);

// The actions a user takes; false with `error` set when they cannot be taken.
bool SetText(HWND control, const std::string& text, std::string& error);
bool Click(HWND control, std::string& error);
bool SetCheck(HWND control, bool on, std::string& error);
bool SelectItem(HWND control, const std::string& item, std::string& error);
// Keys typed into the top window's focused control: plain characters and
// {TAB} {ENTER} {ESC} {SPACE} {UP} {DOWN} {LEFT} {RIGHT} {HOME} {END}
// {BACKSPACE} {DELETE} {F1}..{F12}; "%x" is Alt+x, "+{TAB}" Shift+Tab.
bool SendKeys(HWND top, const std::string& keys, std::string& error);

std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& text);

}  // namespace qvdriver
