#include "wizard/pool_template.h"

#include <commctrl.h>
#include <shlobj.h>

#include <map>

#include "common/errors.h"
#include "common/text.h"
#include "engine/run_context.h"
#include "platform/files.h"
#include "wizard/message_table.h"
#include "wizard/toolkit/page_rules.h"
#include "platform/working_folder.h"

namespace qv::win {

namespace {

using toolkit::Control;
using toolkit::Event;

constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kAboutCommand = 1025;

std::map<HWND, PoolTemplate*>& PagesByWindow() {
    static std::map<HWND, PoolTemplate*> pages;
    return pages;
}

bool Clickable(const Control& c) {
    for (const char* kind : {"TLabel", "TButton", "TRzBmpButton", "TBitBtn", "TSpeedButton", "TImage", "TShape"})
        if (c.IsA(kind)) return true;
    return false;
}

// Only the page has a taskbar button: a hidden application window that
// carries the program's name is kept out of sight.
void HideApplicationWindow(HWND page) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string title = FileNameOfPath(path);
    title = title.substr(0, title.find_last_of('.'));
    HWND app = ::FindWindowA("TApplication", title.c_str());
    if (app != nullptr && app != page) ::ShowWindow(app, SW_HIDE);
}

LRESULT CALLBACK PageWindowProc(HWND window, UINT message, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    switch (message) {
        case WM_SYSCOMMAND:
            if ((wp & 0xFFF0) == SC_MINIMIZE) HideApplicationWindow(window);
            if (wp == kAboutCommand) {
                ::MessageBoxA(window,
                              "Quorvex setup runtime\r\n\r\nInstalls, maintains and removes this product.",
                              "Quorvex", MB_OK | MB_ICONINFORMATION);
                return 0;
            }
            break;
        case WM_ACTIVATE:
            if (LOWORD(wp) != WA_INACTIVE) HideApplicationWindow(window);
            break;
        default: break;
    }
    return ::DefSubclassProc(window, message, wp, lp);
}

}  // namespace

std::unique_ptr<PoolTemplate> PoolTemplate::Create(WizardState& state, const std::string& formPath) {
    std::unique_ptr<PoolTemplate> self(new PoolTemplate(state));
    {
        // Relative names inside the dialog file (pictures, movies) are the
        // dialog folder's.
        WorkingFolder inDialogFolder(FolderOfPath(formPath));
        // A control that touches an empty removable drive fails quietly.
        ::SetErrorMode(SEM_FAILCRITICALERRORS);
        auto bytes = ReadWholeFile(formPath);
        if (!bytes) throw ScriptError("Cannot open file \"" + formPath + "\". The system cannot find the file specified");
        toolkit::PageOptions options;
        options.handlers = self->Handlers();
        PoolTemplate* page = self.get();
        options.onCloseQuery = [page](toolkit::Page&) { return page->canClose; };
        options.onCancelKey = [page](toolkit::Page& p) {
            for (Control* c : p.controls())
                if (Clickable(*c) && c->Tag() == 3 && ::IsWindowVisible(c->window()) && ::IsWindowEnabled(c->window()))
                    return page->ClickAction(*c);
        };
        self->page_ = toolkit::Page::Create(ReadForm(*bytes), std::move(options));
    }
    PagesByWindow()[self->window()] = self.get();
    self->timer_ = ::SetTimer(self->window(), kProgressTimer, 1000, TimerProc);
    ::SetWindowSubclass(self->window(), PageWindowProc, 1, 0);
    self->key_ = FileNameOfPath(formPath);
    self->page_->root().SetProperty("Hint", self->key_);
    ::SetWindowLongPtrA(self->window(), GWL_EXSTYLE, ::GetWindowLongPtrA(self->window(), GWL_EXSTYLE) | WS_EX_APPWINDOW);
    return self;
}

PoolTemplate::~PoolTemplate() {
    if (page_) {
        if (timer_) ::KillTimer(window(), timer_);
        ::RemoveWindowSubclass(window(), PageWindowProc, 1);
        PagesByWindow().erase(window());
    }
}

toolkit::HandlerTable PoolTemplate::Handlers() {
    toolkit::HandlerTable t;
    auto guarded = [this](auto body) {
        return [this, body](Control& c, const Event& e) {
            if (state_.bindingSuspended) return;
            body(c, e);
        };
    };
    auto editChange = [this](const char* name) {
        return [this, name](Control& c, const Event&) {
            if (Bound(c)) Write(c, c.Text(), name);
            AfterEditChange(c);
        };
    };
    t["Edit1Change"] = guarded(editChange("Edit1Change"));
    t["MaskEdit1Change"] = guarded(editChange("MaskEdit1Change"));
    auto linesChange = [this](const char* name) {
        return [this, name](Control& c, const Event&) {
            if (Bound(c)) Write(c, EncodeNewlines(c.Text()), name);
            RefreshComponentTexts();
            ApplyRules();
        };
    };
    t["Memo1Change"] = guarded(linesChange("Memo1Change"));
    t["RichEdit1Change"] = guarded(linesChange("RichEdit1Change"));
    t["CheckBox1Click"] = guarded([this](Control& c, const Event&) {
        if (Bound(c)) Write(c, BoolText(c.Checked()), "CheckBox1Click");
        ApplyRules();
    });
    t["RadioButton1Click"] = guarded([this](Control&, const Event&) {
        for (Control* radio : page_->controls())
            if (radio->IsA("TRzRadioButton") && Bound(*radio))
                Write(*radio, BoolText(radio->Checked()), "RadioButton1Click");
        ApplyRules();
    });
    t["ListBox1Click"] = guarded([this](Control& c, const Event&) {
        const int i = c.ItemIndex();
        const auto items = c.Items();
        if (Bound(c) && i >= 0 && i < int(items.size())) Write(c, items[i], "ListBox1Click");
        ApplyRules();
    });
    t["CheckListBox1Click"] = guarded([this](Control& c, const Event&) {
        const int i = c.ItemIndex();
        const auto items = c.Items();
        if (i < 0 || i >= int(items.size())) return;
        if (Bound(c)) Write(c, items[i], "CheckListBox1Click");
        if (c.Tag() == 1) {
            selectedComponent = items[i];
            RefreshComponentTexts();
        }
        ApplyRules();
    });
    // The component views' own handlers run even while binding is suspended.
    auto componentView = [this](Control&, const Event&) {
        RefreshComponentTexts();
        ApplyRules();
    };
    t["CheckListBox1ClickCheck"] = componentView;
    t["TreeView1MouseUp"] = componentView;
    auto textChange = [this](const char* name) {
        return [this, name](Control& c, const Event&) {
            if (Bound(c)) Write(c, c.Text(), name);
            ApplyRules();
        };
    };
    t["ComboBox1Change"] = guarded(textChange("ComboBox1Change"));
    t["ComboBox1Click"] = guarded(textChange("ComboBox1Click"));
    t["TrackBar1Change"] = guarded([this](Control& c, const Event&) {
        if (Bound(c)) Write(c, c.Property("Position").value_or("0"), "TrackBar1Change");
        ApplyRules();
    });
    t["TreeView1Change"] = guarded([this](Control& c, const Event& e) {
        if (e.node == nullptr) return;
        if (Bound(c)) Write(c, c.NodeText(e.node), "TreeView1Change");
        if (c.Tag() == 1) {
            std::string path = c.NodeText(e.node);
            for (HTREEITEM up = c.NodeParent(e.node); up != nullptr; up = c.NodeParent(up))
                path = c.NodeText(up) + "\\" + path;
            selectedComponent = path;
        }
        RefreshComponentTexts();
        ApplyRules();
    });
    t["FileListBox1Change"] = guarded([this](Control& c, const Event&) {
        const std::string file = c.Property("FileName").value_or("");
        FolderBrowserChange(c, "FileListBox1Change", file, FolderOfPath(file));
    });
    t["DirectoryListBox1Change"] = guarded([this](Control& c, const Event&) {
        const std::string folder = c.Property("Directory").value_or("");
        FolderBrowserChange(c, "DirectoryListBox1Change", folder, folder);
    });
    t["DriveComboBox1Change"] = guarded([this](Control& c, const Event&) {
        const std::string drive = c.Property("Drive").value_or("").substr(0, 1) + ":\\";
        FolderBrowserChange(c, "DriveComboBox1Change", drive, drive);
    });
    auto shellChange = [this](const char* name) {
        return [this, name](Control& c, const Event&) {
            const std::string path = c.Property("Path").value_or("");
            FolderBrowserChange(c, name, path, path);
        };
    };
    t["PTShellTree1Change"] = guarded(shellChange("PTShellTree1Change"));
    t["PTShellCombo1Change"] = guarded(shellChange("PTShellCombo1Change"));
    t["PTShellList1Change"] = guarded([this](Control& c, const Event&) {
        const std::string path = c.Property("Path").value_or("");
        if (!path.empty()) FolderBrowserChange(c, "PTShellList1Change", path, path);
    });
    auto click = [this](Control& c, const Event&) { ClickAction(c); };
    for (const char* name : {"Label1Click", "Button1Click", "RzBmpButton1Click", "BitBtn1Click", "SpeedButton1Click",
                             "Image1Click", "Shape1MouseUp"})
        t[name] = click;
    // The viewer's hot spots and timed reloads belong to the billboards; a
    // dialog file may name these handlers all the same.
    t["htmlLite1HotSpotClick"] = [](Control&, const Event&) {};
    t["htmlLite1MetaRefresh"] = [](Control&, const Event&) {};
    return t;
}

void PoolTemplate::Write(const Control& c, const std::string& value, const char* handler) {
    state_.cx.vars.Define(UpperAscii(c.Hint()), value, handler);
}

void PoolTemplate::AfterEditChange(Control& c) {
    RefreshComponentTexts();
    FollowVariables();
    ApplyRules();
    AutoAdvance(c);
}

void PoolTemplate::FolderBrowserChange(Control& c, const char* handler, const std::string& value,
                                       const std::string& browsed) {
    if (Bound(c)) Write(c, value, handler);
    FollowVariables();
    if (c.Tag() == 1) ApplyBrowsedFolder(browsed);
    ApplyRules();
}

void PoolTemplate::AutoAdvance(Control& edit) {
    const int maxLength = ParseInt32(edit.Property("MaxLength").value_or("0")).value_or(0);
    if (maxLength == 0 || int(edit.Text().size()) != maxLength) return;
    const int next = ParseInt32(edit.Property("TabOrder").value_or("-1")).value_or(-1) + 1;
    for (Control* c : page_->root().children())
        if (c->window() && ParseInt32(c->Property("TabOrder").value_or("")).value_or(-2) == next) {
            ::SetFocus(c->window());
            return;
        }
}

void PoolTemplate::ClickAction(Control& c) {
    result = PageOutcome::Pending;
    if (state_.bindingSuspended) return;
    switch (c.Tag()) {
        case 1: result = PageOutcome::Next; break;
        case 2: result = PageOutcome::Back; break;
        case 3:
            if (::MessageBoxA(window(), MessageText(Msg::ConfirmCancel).c_str(), "Quorvex",
                              MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES) {
                state_.cx.cancelRequested = true;
                c.SetProperty("Enabled", "False");
                result = PageOutcome::Cancel;
            }
            break;
        case 4: {
            const bool button = c.IsA("TButton") || c.IsA("TRzBmpButton");
            BROWSEINFOA info{};
            info.hwndOwner = window();
            info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | (button ? 0 : BIF_NONEWFOLDERBUTTON);
            if (LPITEMIDLIST chosen = ::SHBrowseForFolderA(&info)) {
                char path[MAX_PATH] = {};
                const bool ok = ::SHGetPathFromIDListA(chosen, path);
                ::CoTaskMemFree(chosen);
                if (ok && (path[0] != '\0' || !button)) ApplyBrowsedFolder(path);
            }
            break;
        }
        case 5:
            result = PageOutcome::Named;
            clickedName = c.name();
            break;
        default: break;
    }
    ApplyRules();
}

void PoolTemplate::CaptureTarget() {
    const std::string target = state_.cx.vars.Exists("TARGETDIR") ? state_.cx.vars.ExpandPath(state_.cx.vars.Get("TARGETDIR")) : "";
    state_.target = CaptureTargetFolder(target, [](const std::string& p) { return DirectoryExists(p); });
}

void PoolTemplate::ApplyBrowsedFolder(const std::string& folder) {
    const std::string target = BrowsedTargetFolder(state_.target, folder);
    for (Control* c : page_->controls())
        if (c->className() == "TEdit" && c->Tag() == 2) {
            c->SetText(target);
            c->Fire("OnChange");
        }
    RefreshComponentTexts();
    ApplyRules();
}

void PoolTemplate::FollowVariables() {
    BindingSuspension suspended(state_);
    for (Control* c : page_->controls()) {
        if (c->Tag() != 100) continue;
        const bool edit = c->IsA("TEdit") || c->IsA("TMaskEdit");
        const bool browser = c->IsA("TFileListBox") || c->IsA("TDirectoryListBox") || c->IsA("TDriveComboBox") ||
                             c->IsA("TPTShellTree") || c->IsA("TPTShellList") || c->IsA("TPTShellCombo");
        if (!edit && !browser) continue;
        const std::string value = state_.cx.vars.ExpandPath(state_.cx.vars.Get(UpperAscii(c->Hint())));
        if (edit) {
            c->SetText(value);
        } else if (c->IsA("TFileListBox")) {
            if (DirectoryExists(value)) c->SetProperty("Directory", value);
            else if (FileExists(value)) {
                c->SetProperty("Directory", FolderOfPath(value));
                c->SetProperty("FileName", value);
            }
        } else if (c->IsA("TDirectoryListBox")) {
            if (DirectoryExists(value)) c->SetProperty("Directory", value);
        } else if (c->IsA("TDriveComboBox")) {
            if (!value.empty() && DirectoryExists(value.substr(0, 1) + ":\\")) c->SetProperty("Drive", value.substr(0, 1));
        } else if (DirectoryExists(value)) {
            c->SetProperty("Path", value);
        }
    }
}

void PoolTemplate::ApplyRules() {
    toolkit::PageRuleTarget target(*page_);
    qv::ApplyRules(rules, target);
}

void PoolTemplate::RefreshComponentTexts() {
    if (state_.refreshComponentTexts) state_.refreshComponentTexts(*this);
}

void PoolTemplate::ShowProgressValues(Control& bar, const ProgressValues& v) {
    try {
        const bool marquee = state_.cx.vars.Exists("PROGRESSMODE") &&
                             state_.cx.vars.ExpandText(state_.cx.vars.Get("PROGRESSMODE")) == "MARQUEE";
        HWND w = bar.window();
        const LONG_PTR style = ::GetWindowLongPtrA(w, GWL_STYLE);
        if (!marquee) {
            if (style & PBS_MARQUEE) {
                ::SendMessageA(w, PBM_SETMARQUEE, FALSE, 0);
                ::SetWindowLongPtrA(w, GWL_STYLE, style & ~LONG_PTR(PBS_MARQUEE));
            }
            const ProgressBarValues shown = ScaleForProgressBar(v.minimum, v.maximum, v.position);
            bar.SetProperty("Max", std::to_string(shown.maximum));
            bar.SetProperty("Min", std::to_string(shown.minimum));
            bar.SetProperty("Position", std::to_string(shown.position));
        } else if (!(style & PBS_MARQUEE)) {
            ::SetWindowLongPtrA(w, GWL_STYLE, style | PBS_MARQUEE);
            ::SendMessageA(w, PBM_SETMARQUEE, TRUE, 100);
        }
    } catch (const std::exception&) {
        bar.SetProperty("Position", bar.Property("Max").value_or("100"));
    }
}

bool PoolTemplate::RefreshProgress(std::string caption, std::int64_t minimum, std::int64_t maximum,
                                   std::int64_t position) {
    RunContext& cx = state_.cx;
    std::lock_guard<std::mutex> guard(cx.progress.lock());
    ProgressValues v{std::move(caption), minimum, maximum, position};
    if (v.caption == kKeepProgressMarker) v = cx.progress.ValuesLocked();
    if (cx.silent) return false;
    const bool answer = cx.cancelRequested;
    if (state_.currentPageId.empty() || state_.pageOnScreen == nullptr) return answer;
    PoolTemplate& shown = *state_.pageOnScreen;
    std::vector<Control*> targets = shown.page_->controls();
    targets.push_back(&shown.page_->root());
    for (Control* c : targets) {
        if (c->IsA("TLabel")) {
            c->SetHandler("OnClick", "Label1Click");
            c->SetText(cx.vars.ExpandText(c->Text()));
        } else if (c->IsA("TButton") || c->IsA("TRzBmpButton")) {
            c->SetHandler("OnClick", "Button1Click");
            c->SetText(cx.vars.ExpandText(c->Text()));
        } else if (c->IsA("TStaticText")) {
            c->SetText(c->Tag() == 1 ? v.caption : cx.vars.ExpandText(c->Text()));
        } else if ((c->IsA("TProgressBar") || c->IsA("TGauge")) && c->Tag() == 1) {
            if (c->IsA("TGauge")) {
                try {
                    c->SetProperty("MaxValue", std::to_string(v.maximum));
                    c->SetProperty("MinValue", std::to_string(v.minimum));
                    c->SetProperty("Progress", std::to_string(std::int32_t(v.position)));
                } catch (const std::exception&) {
                    c->SetProperty("Progress", c->Property("MaxValue").value_or("100"));
                }
            } else {
                shown.ShowProgressValues(*c, v);
            }
        }
    }
    shown.ApplyRules();
    return answer;
}

void CALLBACK PoolTemplate::TimerProc(HWND window, UINT, UINT_PTR id, DWORD) {
    auto it = PagesByWindow().find(window);
    if (it == PagesByWindow().end()) return;
    PoolTemplate& page = *it->second;
    ::KillTimer(window, id);
    if (page.state_.cx.longOperationActive) page.RefreshProgress(kKeepProgressMarker, 0, 0, 0);
    page.timer_ = ::SetTimer(window, kProgressTimer, 1000, TimerProc);
}

void PoolTemplate::ResetSystemMenu() {
    ::GetSystemMenu(window(), TRUE);
    HMENU menu = ::GetSystemMenu(window(), FALSE);
    ::EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(menu, MF_STRING, kAboutCommand, "About Quorvex...");
}

}  // namespace qv::win
