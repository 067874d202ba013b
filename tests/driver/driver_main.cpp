// qvdriver: drives the windows of a running setup as a user would, for the
// end-to-end tests.
//
//   qvdriver [--timeout=SECONDS] COMMAND ARGS [COMMAND ARGS ...]
//
// Commands run in order; each acts on the window the last "wait" found.
//   wait CLASS CAPTION     a visible top-level window ("*" matches any)
//   gone                   until that window is hidden or destroyed
//   list                   its controls, one JSON object a line
//   get CONTROL            one control, as JSON
//   focus                  the Name (or #id) of the focused control
//   settext CONTROL TEXT   replaces an edit's or combo box's text
//   click CONTROL          presses a button (or clicks a control's middle)
//   check CONTROL on|off   sets a check box, or checks a radio button
//   select CONTROL ITEM    selects a list or combo item (its text, or #index)
//   keys KEYS              types into the focused control ({TAB}, %n = Alt+N)
//   expect CONTROL FIELD VALUE
//                          until text, checked, enabled, visible, selected
//                          or position of the control reads VALUE
//   close                  asks the window to close
//   sleep MILLISECONDS
// CONTROL is a component Name, "#id" or "=Caption" (without "&").
// Exit status: 0 all commands succeeded; 1 one failed or timed out (the
// reason on standard error); 2 the command line is wrong.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "driver_windows.h"

using namespace qvdriver;

namespace {

std::string Json(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') out += '\\', out += char(c);
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else if (c < 0x20) {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04x", c);
            out += code;
        } else out += char(c);
    }
    return out + "\"";
}

std::string JsonOf(const ControlInfo& c) {
    std::string out = "{\"name\": " + Json(c.name) + ", \"kind\": " + Json(c.kind) + ", \"class\": " +
                      Json(c.className) + ", \"id\": " + std::to_string(::GetDlgCtrlID(c.window)) +
                      ", \"text\": " + Json(c.text) + ", \"visible\": " + (c.visible ? "true" : "false") +
                      ", \"enabled\": " + (c.enabled ? "true" : "false");
    if (c.checked >= 0) out += ", \"checked\": " + std::to_string(c.checked);
    if (c.kind == "list" || c.kind == "combo") {
        out += ", \"selected\": " + std::to_string(c.selected) + ", \"items\": [";
        for (std::size_t i = 0; i < c.items.size(); ++i) out += (i ? ", " : "") + Json(c.items[i]);
        out += "]";
    }
    if (c.position >= 0) out += ", \"position\": " + std::to_string(c.position);
    RECT r;
    ::GetWindowRect(c.window, &r);
    POINT origin = {r.left, r.top};
    ::ScreenToClient(::GetAncestor(c.window, GA_ROOT), &origin);
    out += ", \"rect\": [" + std::to_string(origin.x) + ", " + std::to_string(origin.y) + ", " +
           std::to_string(r.right - r.left) + ", " + std::to_string(r.bottom - r.top) + "]";
    return out + "}";
}

std::string Field(const ControlInfo& c, const std::string& field) {
    if (field == "text") return c.text;
    if (field == "checked") return std::to_string(c.checked);
    if (field == "enabled") return c.enabled ? "true" : "false";
    if (field == "visible") return c.visible ? "true" : "false";
    if (field == "selected") return std::to_string(c.selected);
    if (field == "position") return std::to_string(c.position);
    return "?";
}

[[noreturn]] void Fail(const std::string& why) {
    std::fprintf(stderr, "qvdriver: %s\n", why.c_str());
    std::exit(1);
}

[[noreturn]] void Usage(const std::string& why) {
    std::fprintf(stderr, "qvdriver: %s (see the comment at the top of driver_main.cpp)\n", why.c_str());
    std::exit(2);
}

int Arity(const std::string& command) {
    if (command == "gone" || command == "list" || command == "focus" || command == "close") return 0;
    if (command == "get" || command == "click" || command == "keys" || command == "sleep") return 1;
    if (command == "wait" || command == "settext" || command == "check" || command == "select") return 2;
    if (command == "expect") return 3;
    return -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.push_back(Utf8(argv[i]));
    DWORD timeout = 20000;
    std::size_t at = 0;
    if (at < args.size() && args[at].rfind("--timeout=", 0) == 0) timeout = DWORD(std::atof(args[at++].c_str() + 10) * 1000);
    if (at >= args.size()) Usage("no command");
    HWND top = nullptr;
    auto control = [&](const std::string& which) {
        if (!top) Usage("no window: \"wait\" first");
        // Controls may appear a moment after their page.
        for (ULONGLONG start = ::GetTickCount64();;) {
            if (HWND w = FindControl(top, which)) return w;
            if (::GetTickCount64() - start >= timeout) Fail("no control " + which);
            ::Sleep(50);
        }
    };
    while (at < args.size()) {
        std::string command = args[at++];
        int arity = Arity(command);
        if (arity < 0) Usage("unknown command " + command);
        if (at + std::size_t(arity) > args.size()) Usage(command + " needs " + std::to_string(arity) + " arguments");
        std::vector<std::string> a(args.begin() + std::ptrdiff_t(at), args.begin() + std::ptrdiff_t(at) + arity);
        at += std::size_t(arity);
        std::string error;
        if (command != "wait" && command != "sleep" && !top) Usage(command + " before \"wait\"");
        if (command == "wait") {
            for (ULONGLONG start = ::GetTickCount64(); !(top = FindTopWindow(a[0], a[1]));) {
                if (::GetTickCount64() - start >= timeout) Fail("no window of class " + a[0] + " with caption " + a[1]);
                ::Sleep(100);
            }
            std::printf("%s\n", JsonOf(Describe(top)).c_str());
        } else if (command == "gone") {
            for (ULONGLONG start = ::GetTickCount64(); ::IsWindow(top) && ::IsWindowVisible(top);) {
                if (::GetTickCount64() - start >= timeout) Fail("the window is still there");
                ::Sleep(100);
            }
        } else if (command == "list") {
            for (const ControlInfo& c : Controls(top)) std::printf("%s\n", JsonOf(c).c_str());
        } else if (command == "get") {
            std::printf("%s\n", JsonOf(Describe(control(a[0]))).c_str());
        } else if (command == "focus") {
            std::printf("%s\n", FocusedName(top).c_str());
        } else if (command == "settext") {
            if (!SetText(control(a[0]), a[1], error)) Fail(a[0] + ": " + error);
        } else if (command == "click") {
            if (!Click(control(a[0]), error)) Fail(a[0] + ": " + error);
        } else if (command == "check") {
            if (a[1] != "on" && a[1] != "off") Usage("check takes on or off");
            if (!SetCheck(control(a[0]), a[1] == "on", error)) Fail(a[0] + ": " + error);
        } else if (command == "select") {
            if (!SelectItem(control(a[0]), a[1], error)) Fail(a[0] + ": " + error);
        } else if (command == "keys") {
            if (!SendKeys(top, a[0], error)) Fail(error);
        } else if (command == "expect") {
            HWND w = control(a[0]);
            for (ULONGLONG start = ::GetTickCount64();;) {
                std::string actual = Field(Describe(w), a[1]);
                if (actual == a[2]) break;
                if (::GetTickCount64() - start >= timeout) Fail(a[0] + " " + a[1] + " is " + actual + ", not " + a[2]);
                ::Sleep(50);
            }
        } else if (command == "close") {
            ::PostMessageW(top, WM_CLOSE, 0, 0);
        } else if (command == "sleep") {
            ::Sleep(DWORD(std::atoi(a[0].c_str())));
        }
        std::fflush(stdout);
    }
    return 0;
}
