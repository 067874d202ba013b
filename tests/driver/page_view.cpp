// qvpageview: shows the page of a dialog file, for looking at pages and for
// driving them in tests.
//
//   qvpageview FORM.dfm
//
// Every handler the dialog names, and the page class's usual handler names,
// print one line when called: "event HANDLER SENDER EVENT". The program
// ends when the page is closed (status 0); a file that is not a page gives
// status 1 with the reason on standard error.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "wizard/form_properties.h"
#include "wizard/toolkit/page.h"

using namespace qv;
using namespace qv::toolkit;

namespace {

const char* const kPageHandlers[] = {
    "Edit1Change",        "MaskEdit1Change",      "Memo1Change",         "RichEdit1Change",   "CheckBox1Click",
    "RadioButton1Click",  "ListBox1Click",        "CheckListBox1Click",  "CheckListBox1ClickCheck",
    "ComboBox1Change",    "ComboBox1Click",       "TrackBar1Change",     "TreeView1Change",   "TreeView1MouseUp",
    "FileListBox1Change", "DirectoryListBox1Change", "DriveComboBox1Change", "PTShellTree1Change",
    "PTShellList1Change", "PTShellCombo1Change",  "Label1Click",         "BitBtn1Click",      "SpeedButton1Click",
    "Image1Click",        "Button1Click",         "RzBmpButton1Click",   "Shape1MouseUp",
};

void Collect(const FormObject& object, HandlerTable& table, const EventHandler& log) {
    for (const FormProperty& p : object.properties)
        if (p.value.kind == FormValueKind::Identifier && p.name.size() > 2 && (p.name[0] == 'O' || p.name[0] == 'o'))
            table[p.value.text] = log;
    for (const FormObject& child : object.children) Collect(child, table, log);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: qvpageview FORM.dfm\n");
        return 2;
    }
    try {
        std::ifstream in(argv[1], std::ios::binary);
        if (!in) throw std::runtime_error(std::string("cannot read ") + argv[1]);
        std::stringstream bytes;
        bytes << in.rdbuf();
        FormObject form = ReadForm(bytes.str());
        PageOptions options;
        HandlerTable& table = options.handlers;
        for (const char* name : kPageHandlers) {
            std::string handler = name;
            table[handler] = [handler](Control& sender, const Event& e) {
                std::printf("event %s %s %s\n", handler.c_str(), sender.name().c_str(), e.name.c_str());
                std::fflush(stdout);
            };
        }
        Collect(form, table, [](Control& sender, const Event& e) {
            std::printf("event %s %s %s\n", sender.Handler(e.name).c_str(), sender.name().c_str(), e.name.c_str());
            std::fflush(stdout);
        });
        options.onCloseQuery = [](Page&) {
            std::printf("close\n");
            std::fflush(stdout);
            return true;
        };
        std::unique_ptr<Page> page = Page::Create(form, options);
        RECT r;
        ::GetWindowRect(page->window(), &r);
        ::SetWindowPos(page->window(), nullptr, (::GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
                       (::GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        page->Show();
        std::printf("shown\n");
        std::fflush(stdout);
        while (::IsWindowVisible(page->window()))
            if (!ProcessPageMessage(true)) break;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "qvpageview: %s\n", e.what());
        return 1;
    }
    return 0;
}
