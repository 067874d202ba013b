#include "wizard/dialog_commands.h"

#include "common/errors.h"
#include "common/text.h"
#include "engine/control_flow.h"
#include "engine/run_context.h"
#include "engine/script_engine.h"

namespace qv {

namespace {

// The system's message box style bits.
constexpr std::uint32_t kIconStyles[] = {0x40, 0x20, 0x30, 0x10};        // information, question, warning, error
constexpr std::uint32_t kButtonStyles[] = {0x2, 0x0, 0x1, 0x5, 0x4, 0x3};  // see MessageBoxStyle

PageHost& Pages(RunContext& cx) {
    if (cx.pages == nullptr) throw ScriptError("The wizard pages were not loaded");
    return *cx.pages;
}

std::int32_t WholeNumber(const std::string& text) {
    auto value = ParseInt32(text);
    if (!value) throw ScriptError("'" + text + "' is not a valid integer value");
    return *value;
}

void SetWindowHandle(RunContext& cx, std::uintptr_t window, const char* source) {
    cx.activePageWindow = window;
    cx.vars.Define("WINDOWHANDLE", std::to_string(window), source);
}

// True when the page's show condition says to skip it.
bool SkippedByCondition(RunContext& cx, const ScriptCommand& c) {
    const std::string condition = cx.Param(c, 4);
    if (condition.empty()) return false;
    std::string name = StripReference(condition);
    if (name.empty()) name = condition;
    return IsTrueText(cx.vars.Get(name)) == IsTrueText(cx.Param(c, 6));
}

ShownPage PreparedAndShown(RunContext& cx, const std::string& identifier, bool wait) {
    if (cx.silent) {
        // Nothing is shown; a waiting page answers Next at once.
        cx.cancelRequested = false;
        return ShownPage{wait ? PageOutcome::Next : PageOutcome::NotModal, "", 0};
    }
    PageHost& pages = Pages(cx);
    if (!cx.previousWaitingPage.empty()) {
        pages.RestorePage(cx.previousWaitingPage);
        cx.previousWaitingPage.clear();
    }
    struct Freeze {
        PageHost& pages;
        std::uintptr_t window;
        Freeze(PageHost& p, std::uintptr_t w) : pages(p), window(w) {
            if (window != 0) pages.FreezeWindow(window, true);
        }
        ~Freeze() {
            if (window != 0) pages.FreezeWindow(window, false);
        }
    };
    {
        Freeze frozen(pages, cx.activePageWindow);
        pages.PreparePage(identifier);
    }
    ShownPage shown = pages.ShowPage(identifier, wait);
    if (!wait) shown.result = PageOutcome::NotModal;
    return shown;
}

void DisplayDialog(RunContext& cx, const ScriptCommand& c) {
    if (SkippedByCondition(cx, c)) return;
    const std::string identifier = std::to_string(cx.pc - 1);
    ShownPage shown;
    if (cx.flow.wizardActive) {
        shown = PreparedAndShown(cx, identifier, true);
        cx.previousWaitingPage = identifier;
    } else if (cx.ParamBool(c, 3)) {
        shown = PreparedAndShown(cx, identifier, true);
        SetWindowHandle(cx, 0, "Display Dialog");
        cx.previousWaitingPage = identifier;
    } else {
        shown = PreparedAndShown(cx, identifier, false);
        SetWindowHandle(cx, cx.silent ? 0 : shown.window, "Display Dialog");
    }
    cx.SetResult(cx.Param(c, 2), PageResultText(shown), c);
    ReportPageResult(cx, shown.result);
}

void HideDialog(RunContext& cx, const ScriptCommand&) {
    if (!cx.silent && cx.pages != nullptr) cx.pages->HidePage(cx.pages->CurrentPageId());
    SetWindowHandle(cx, 0, "Hide Dialog");
}

void MessageBoxCommand(RunContext& cx, const ScriptCommand& c) {
    std::string caption = cx.ParamText(c, 1);
    std::string text = cx.ParamText(c, 2);
    if (auto translated = cx.Translation(c, 1)) caption = cx.vars.ExpandText(*translated);
    if (auto translated = cx.Translation(c, 2)) text = cx.vars.ExpandText(*translated);
    const std::uint32_t style = MessageBoxStyle(WholeNumber(cx.ParamText(c, 3)), WholeNumber(cx.ParamText(c, 4)));
    if (cx.silent) return;
    const int answer = cx.host.ShowMessageBox(cx.activePageWindow, text, caption, style);
    cx.SetResult(cx.Param(c, 5), MessageBoxAnswerText(answer).value_or(std::to_string(answer)), c);
}

}  // namespace

std::string PageResultText(const ShownPage& shown) {
    switch (shown.result) {
        case PageOutcome::NotModal: return "NOTMODAL";
        case PageOutcome::Cancel: return "CANCEL";
        case PageOutcome::Next: return "NEXT";
        case PageOutcome::Back: return "BACK";
        case PageOutcome::Named: return Upper8Bit(shown.clickedName);
        case PageOutcome::Pending: break;
    }
    return std::string();
}

std::uint32_t MessageBoxStyle(std::int32_t iconKind, std::int32_t buttonKind) {
    std::uint32_t style = 0;
    if (iconKind >= 0 && iconKind < 4) style += kIconStyles[iconKind];
    if (buttonKind >= 0 && buttonKind < 6) style += kButtonStyles[buttonKind];
    return style;
}

std::optional<std::string> MessageBoxAnswerText(int answer) {
    static const char* const kTexts[] = {"OK", "CANCEL", "ABORT", "RETRY", "IGNORE", "YES", "NO"};
    if (answer < 1 || answer > 7) return std::nullopt;
    return std::string(kTexts[answer - 1]);
}

void RegisterDialogCommands(CommandTable& table) {
    table.Add("Display Dialog", DisplayDialog);
    table.Add("Hide Dialog", HideDialog);
    table.Add("MessageBox", MessageBoxCommand);
}

}  // namespace qv
