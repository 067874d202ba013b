// Preparing a page from the variables, the language and the support files
// just before it is shown, and restoring its design texts afterwards.
#include <windows.h>
#include <richedit.h>

#include <algorithm>

#include "common/errors.h"
#include "common/text.h"
#include "engine/run_context.h"
#include "engine/variable_store.h"
#include "platform/files.h"
#include "wizard/wizard_pages.h"

namespace qv::win {

namespace {

using toolkit::Control;

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
    return text;
}

// The support file of a memo or rich edit with Tag 1 or 2, or the hint that
// asks the author for one.
struct SupportFile {
    std::string path;  // empty: none exists
    std::string hint;
};

SupportFile FindSupportFile(const std::string& folder, const std::string& language, bool rich, int tag) {
    const std::string base = tag == 1 ? "readme" : "license";
    std::vector<std::string> names;
    if (rich) names = {base + "." + language + ".rtf", base + ".rtf"};
    names.push_back(base + "." + language + ".txt");
    names.push_back(base + ".txt");
    for (const std::string& name : names)
        if (FileExists(folder + name)) return {folder + name, ""};
    std::string hint = "Add a " + base + "." + language + (rich ? ".rtf or " + base + ".rtf, or " + base + "." + language : "") +
                       ".txt or " + base + ".txt file to your project as a support file/creative to display it here.";
    return {"", hint};
}

// Rich text goes into a rich edit through its stream-in message.
struct RichTextSource {
    const std::string* bytes;
    std::size_t at;
};

DWORD CALLBACK ReadRichText(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* got) {
    auto* source = reinterpret_cast<RichTextSource*>(cookie);
    const std::size_t n = std::min<std::size_t>(std::size_t(wanted), source->bytes->size() - source->at);
    std::copy_n(source->bytes->data() + source->at, n, reinterpret_cast<char*>(buffer));
    source->at += n;
    *got = LONG(n);
    return 0;
}

void StreamRichText(HWND edit, const std::string& rtf) {
    RichTextSource source{&rtf, 0};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = ReadRichText;
    ::SendMessageA(edit, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

class Preparation {
public:
    Preparation(WizardState& state, PoolTemplate& page) : state_(state), cx_(state.cx), page_(page) {}

    void Run() {
        state_.savedTexts.Clear();
        existingTarget_ = DeepestExisting(NormalizePath(ValueOrEmpty("TARGETDIR")));
        {
            BindingSuspension suspended(state_);
            for (Control* c : WorkList()) Prepare(*c);
            page_.RefreshComponentTexts();
            page_.ApplyRules();
        }
        for (Control* c : remembered_) {
            if (c->IsA("TTreeView")) c->Fire("OnChange", toolkit::Event{"OnChange", 0, 0, 0, -1, c->SelectedNode(), ""});
            if (c->IsA("TCheckListBox")) {
                c->Fire("OnClick");
                if (c->Tag() == 1) c->Fire("OnClickCheck");
            }
        }
    }

    std::vector<Control*> WorkList() {
        std::vector<Control*> list;
        for (Control* c : page_.page().controls())
            if (c->name() != "cmpFormDesigner") list.push_back(c);
        list.push_back(&page_.page().root());
        return list;
    }

private:
    std::string ValueOrEmpty(const std::string& name) const {
        return cx_.vars.Exists(name) ? cx_.vars.ExpandText(cx_.vars.Get(name)) : std::string();
    }
    std::string Language() const { return ValueOrEmpty("LANGUAGE"); }
    bool Defined(const Control& c) const { return !c.Hint().empty() && cx_.vars.Exists(UpperAscii(c.Hint())); }
    std::string Value(const Control& c) const { return c.Hint().empty() ? "" : ValueOrEmpty(UpperAscii(c.Hint())); }

    static std::string DeepestExisting(std::string path) {
        if (path.empty() || DirectoryExists(path)) return path;
        const TargetCapture capture = CaptureTargetFolder(path, [](const std::string& p) { return DirectoryExists(p); });
        return path.substr(0, path.size() - capture.tail.size());
    }

    void Save(const Control& c, std::string text) { state_.savedTexts.Add(UpperAscii(c.name()), std::move(text)); }

    std::string Localized(const Control& c, const std::string& text) const {
        std::string t = text;
        if (!Language().empty()) t = TranslateDialogText(cx_.translations, page_.key(), c.name(), state_.savedTexts);
        return cx_.vars.ExpandText(t);
    }

    void SaveAndLocalize(Control& c) {
        const std::string text = c.Text();
        Save(c, text);
        c.SetText(Localized(c, text));
    }

    void LocalizeItems(Control& c) {
        const std::string text = JoinLines(c.Items());
        Save(c, text);
        c.SetItems(SplitLines(Localized(c, text)));
    }

    void SelectItem(Control& c) {
        if (!Defined(c)) return;
        const auto items = c.Items();
        const std::string value = Upper8Bit(Value(c));
        for (std::size_t i = 0; i < items.size(); ++i)
            if (Upper8Bit(items[i]) == value) return c.SetItemIndex(int(i));
    }

    void LoadSupportFile(Control& c, bool rich) {
        if (c.Tag() != 1 && c.Tag() != 2) return;
        const SupportFile file = FindSupportFile(state_.dialogFolder, Language(), rich, c.Tag());
        if (file.path.empty()) return c.SetText(file.hint);
        auto bytes = ReadWholeFile(file.path);
        if (!bytes) throw std::runtime_error("Cannot open file \"" + file.path + "\"");
        if (rich && EndsWith(Upper8Bit(file.path), ".RTF")) StreamRichText(c.window(), *bytes);
        else c.SetText(*bytes);
    }

    void PrepareEdit(Control& c, bool masked) {
        c.SetHandler("OnChange", masked ? "MaskEdit1Change" : "Edit1Change");
        Save(c, c.Text());
        std::string text = c.Text();
        if (!Language().empty()) text = TranslateDialogText(cx_.translations, page_.key(), c.name(), state_.savedTexts);
        if (Defined(c)) text = masked ? Value(c) : NormalizePath(Value(c));
        if (text.empty()) {
            static const char* const kDefaults[] = {"$STARTMENU$", "$TARGETDIR$", "$USER$", "$COMPANY$"};
            if (c.Tag() >= 1 && c.Tag() <= 4) text = kDefaults[c.Tag() - 1];
            text = masked ? cx_.vars.ExpandText(text) : NormalizePath(cx_.vars.ExpandText(text));
        }
        c.SetText(text);
    }

    void PrepareProgress(Control& c, bool gauge) {
        if (c.Tag() != 1) return;
        if (gauge ? !cx_.vars.Exists("PROGRESS") : ValueOrEmpty("PROGRESS").empty()) return;
        auto n = ParseInt32(ValueOrEmpty("PROGRESS"));
        const int position = n ? std::clamp(*n, 0, 100) : 100;
        c.SetProperty(gauge ? "Progress" : "Position", std::to_string(position));
    }

    void PrepareFolderBrowser(Control& c, const char* handler, bool directoryKind) {
        c.SetHandler("OnChange", handler);
        const std::string value = Value(c);
        const char* property = c.IsA("TPTShellList") || c.IsA("TPTShellTree") ? "Path" : "Directory";
        if (directoryKind) {
            if (Defined(c) && DirectoryExists(value)) c.SetProperty(property, value);
            if (c.Tag() == 1) {
                if (DirectoryExists(existingTarget_)) c.SetProperty(property, existingTarget_);
                else if (DirectoryExists(FolderOfPath(existingTarget_))) c.SetProperty(property, FolderOfPath(existingTarget_));
            }
        } else {
            if (Defined(c) && DirectoryExists(FolderOfPath(value))) c.SetProperty(property, FolderOfPath(value));
            if (c.Tag() == 1 && DirectoryExists(existingTarget_)) c.SetProperty(property, existingTarget_);
        }
    }

    void Prepare(Control& c) {
        if (&c == &page_.page().root()) {
            const std::string caption = c.Text();
            Save(c, caption);
            std::string text = caption;
            if (!Language().empty()) text = cx_.translations.DialogText(page_.key(), page_.key()).value_or(caption);
            c.SetText(cx_.vars.ExpandText(text));
            return;
        }
        if (c.IsA("TFileListBox")) return PrepareFolderBrowser(c, "FileListBox1Change", false);
        if (c.IsA("TPTShellList")) return PrepareFolderBrowser(c, "PTShellList1Change", false);
        if (c.IsA("TDirectoryListBox")) return PrepareFolderBrowser(c, "DirectoryListBox1Change", true);
        if (c.IsA("TPTShellTree")) return PrepareFolderBrowser(c, "PTShellTree1Change", true);
        if (c.IsA("TDriveComboBox") || c.IsA("TPTShellCombo")) {
            const bool shell = c.IsA("TPTShellCombo");
            c.SetHandler("OnChange", shell ? "PTShellCombo1Change" : "DriveComboBox1Change");
            const std::string value = Value(c);
            if (shell) {
                if (Defined(c) && DirectoryExists(value)) c.SetProperty("Path", value);
                if (c.Tag() == 1 && DirectoryExists(existingTarget_)) c.SetProperty("Path", existingTarget_.substr(0, 1) + ":\\");
            } else {
                if (Defined(c) && !value.empty() && DirectoryExists(value.substr(0, 1) + ":\\"))
                    c.SetProperty("Drive", value.substr(0, 1));
                if (c.Tag() == 1 && DirectoryExists(existingTarget_)) c.SetProperty("Drive", existingTarget_.substr(0, 1));
            }
            return;
        }
        if (c.IsA("TLabel")) {
            c.SetHandler("OnClick", "Label1Click");
            return SaveAndLocalize(c);
        }
        if (c.IsA("TGroupBox")) return SaveAndLocalize(c);
        if (c.IsA("TStaticText")) {
            SaveAndLocalize(c);
            if (c.Tag() == 1) c.SetText(ValueOrEmpty("PROGRESSTEXT"));
            return;
        }
        if (c.IsA("TProgressBar")) return PrepareProgress(c, false);
        if (c.IsA("TGauge")) return PrepareProgress(c, true);
        if (c.IsA("TTrackBar")) {
            c.SetHandler("OnChange", "TrackBar1Change");
            if (!Defined(c)) return;
            auto n = ParseInt32(Value(c));
            if (!n) throw ScriptError("'" + Value(c) + "' is not a valid integer value");
            return c.SetProperty("Position", std::to_string(*n));
        }
        if (c.IsA("TBitBtn")) {
            c.SetHandler("OnClick", "BitBtn1Click");
            return SaveAndLocalize(c);
        }
        if (c.IsA("TButton") || c.IsA("TRzBmpButton")) {
            c.SetHandler("OnClick", "Button1Click");
            return SaveAndLocalize(c);
        }
        if (c.IsA("TSpeedButton")) {
            c.SetHandler("OnClick", "SpeedButton1Click");
            return SaveAndLocalize(c);
        }
        if (c.IsA("TImage")) return c.SetHandler("OnClick", "Image1Click");
        if (c.IsA("TShape")) return c.SetHandler("OnMouseUp", "Shape1MouseUp");
        if (c.IsA("TMemo") || c.IsA("TRichEdit")) {
            const bool rich = c.IsA("TRichEdit");
            Save(c, c.Text());
            c.SetProperty("ReadOnly", c.Hint().empty() ? "True" : "False");
            if (rich) c.SetProperty("ScrollBars", "ssBoth");
            if (!c.Hint().empty()) {
                c.SetHandler("OnChange", rich ? "RichEdit1Change" : "Memo1Change");
                if (Defined(c)) c.SetText(ReplaceText(NormalizePath(Value(c)), "$NEWLINE$", "\r\n", true, true));
            }
            return LoadSupportFile(c, rich);
        }
        if (c.IsA("TRzCheckBox") || c.IsA("TRzRadioButton")) {
            c.SetHandler("OnClick", c.IsA("TRzCheckBox") ? "CheckBox1Click" : "RadioButton1Click");
            if (Defined(c)) c.SetChecked(IsTrueText(Value(c)));
            return SaveAndLocalize(c);
        }
        if (c.IsA("TCheckListBox")) {
            LocalizeItems(c);
            c.SetHandler("OnClick", "CheckListBox1Click");
            SelectItem(c);
            if (c.Tag() == 1) c.SetHandler("OnClickCheck", "CheckListBox1ClickCheck");
            remembered_.push_back(&c);
            return;
        }
        if (c.IsA("TListBox")) {
            LocalizeItems(c);
            c.SetHandler("OnClick", "ListBox1Click");
            return SelectItem(c);
        }
        if (c.IsA("TTreeView")) {
            c.SetProperty("HideSelection", "False");
            c.SetHandler("OnChange", "TreeView1Change");
            c.SetProperty("ReadOnly", "True");
            ExpandNodes(c, nullptr);
            if (c.Tag() == 1) c.SetHandler("OnMouseUp", "TreeView1MouseUp");
            remembered_.push_back(&c);
            return;
        }
        if (c.IsA("TComboBox")) {
            LocalizeItems(c);
            c.SetHandler("OnChange", "ComboBox1Change");
            if (!c.Hint().empty()) {
                c.SetHandler("OnClick", "ComboBox1Click");
                if (Defined(c)) c.SetText(Value(c));
            }
            return;
        }
        if (c.IsA("TMaskEdit")) return PrepareEdit(c, true);
        if (c.IsA("TEdit")) return PrepareEdit(c, false);
    }

    void ExpandNodes(Control& tree, HTREEITEM parent) {
        for (HTREEITEM node : tree.Nodes(parent)) {
            tree.SetNodeText(node, cx_.vars.ExpandText(tree.NodeText(node)));
            ExpandNodes(tree, node);
        }
    }

    WizardState& state_;
    RunContext& cx_;
    PoolTemplate& page_;
    std::string existingTarget_;
    std::vector<Control*> remembered_;
};

}  // namespace

void WizardPages::PreparePage(const std::string& identifier) {
    if (state_.cx.silent) return;
    if (PoolTemplate* page = FindPage(identifier)) Preparation(state_, *page).Run();
}

void WizardPages::RestorePage(const std::string& identifier) {
    if (state_.cx.silent) return;
    PoolTemplate* page = FindPage(identifier);
    if (page == nullptr) return;
    state_.lastRestoredWindow = page->window();
    BindingSuspension suspended(state_);
    const SavedTexts& saved = state_.savedTexts;
    for (Control* c : Preparation(state_, *page).WorkList()) {
        if (c == &page->page().root()) continue;
        const std::string text = saved.Find(UpperAscii(c->name()));
        if (c->IsA("TFileListBox") || c->IsA("TPTShellList") || c->IsA("TDirectoryListBox") || c->IsA("TPTShellTree") ||
            c->IsA("TDriveComboBox") || c->IsA("TPTShellCombo") || c->IsA("TTrackBar") || c->IsA("TTreeView")) {
            c->SetHandler("OnChange", "");
        } else if (c->IsA("TLabel") || c->IsA("TGroupBox") || c->IsA("TStaticText") || c->IsA("TButton") ||
                   c->IsA("TRzBmpButton") || c->IsA("TSpeedButton") || c->IsA("TRzCheckBox") ||
                   c->IsA("TRzRadioButton")) {
            if (!c->IsA("TStaticText") && !c->IsA("TGroupBox")) c->SetHandler("OnClick", "");
            c->SetText(text);
        } else if (c->IsA("TImage")) {
            c->SetHandler("OnClick", "");
        } else if (c->IsA("TShape")) {
            c->SetHandler("OnMouseUp", "");
        } else if (c->IsA("TListBox") || c->IsA("TCheckListBox")) {
            c->SetHandler("OnClick", "");
            c->SetItems(SplitLines(text));
        } else if (c->IsA("TComboBox")) {
            c->SetHandler("OnChange", "");
            c->SetItems(SplitLines(text));
        } else if (c->IsA("TMemo") || c->IsA("TRichEdit") || c->IsA("TEdit") || c->IsA("TMaskEdit")) {
            c->SetHandler("OnChange", "");
            c->SetText(text);
        }
    }
    page->RefreshComponentTexts();
    page->ApplyRules();
}

}  // namespace qv::win
