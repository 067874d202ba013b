// A wizard page: a page window made from a dialog file, whose controls write
// their bound variables (a control's Hint names its variable), whose
// clickable controls end the page by their Tag, whose rules tie controls
// together, and which shows the progress of long operations.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "wizard/dialog_rules.h"
#include "wizard/page_host.h"
#include "wizard/progress_state.h"
#include "wizard/target_folder.h"
#include "wizard/translation_tables.h"
#include "wizard/toolkit/page.h"

namespace qv {
class RunContext;
}

namespace qv::win {

class PoolTemplate;

// What all pages of a run share.
struct WizardState {
    explicit WizardState(RunContext& cx) : cx(cx) {}
    RunContext& cx;
    // While true no handler writes a variable or sets a result.
    bool bindingSuspended = false;
    TargetCapture target;  // captured each time a page is shown
    std::string dialogFolder;  // the workspace, with a trailing backslash
    std::string currentPageId;
    PoolTemplate* pageOnScreen = nullptr;
    HWND lastRestoredWindow = nullptr;
    POINT lastPosition{0, 0};
    SIZE lastSize{0, 0};
    bool centreNextPage = true;
    int marqueeStep = 0;
    // The design texts of the page prepared last.
    SavedTexts savedTexts;
    // The component views' texts (set by the component menu when it exists).
    std::function<void(PoolTemplate&)> refreshComponentTexts;
};

// Sets a flag for a scope and puts the previous value back.
class BindingSuspension {
public:
    explicit BindingSuspension(WizardState& state) : state_(state), previous_(state.bindingSuspended) {
        state.bindingSuspended = true;
    }
    ~BindingSuspension() { state_.bindingSuspended = previous_; }
    BindingSuspension(const BindingSuspension&) = delete;
    BindingSuspension& operator=(const BindingSuspension&) = delete;

private:
    WizardState& state_;
    bool previous_;
};

class PoolTemplate {
public:
    // Reads the dialog file (a resource header and the form stream) into a
    // hidden page. Throws with the file's error.
    static std::unique_ptr<PoolTemplate> Create(WizardState& state, const std::string& formPath);
    ~PoolTemplate();
    PoolTemplate(const PoolTemplate&) = delete;
    PoolTemplate& operator=(const PoolTemplate&) = delete;

    toolkit::Page& page() { return *page_; }
    HWND window() const { return page_->window(); }
    // The dialog file's name without folder: the key of its translations.
    const std::string& key() const { return key_; }

    bool canClose = false;
    PageOutcome result = PageOutcome::Pending;
    std::string clickedName;
    std::vector<DialogRule> rules;
    std::string selectedComponent;

    void ApplyRules();
    void FollowVariables();
    void ApplyBrowsedFolder(const std::string& folder);
    // Copies progress into the page; the answer is the cancel flag.
    bool RefreshProgress(std::string caption, std::int64_t minimum, std::int64_t maximum, std::int64_t position);
    // Each time the page is shown: the target folder as it is now.
    void CaptureTarget();
    // The page's system menu with Close greyed and the About item.
    void ResetSystemMenu();
    void RefreshComponentTexts();

private:
    explicit PoolTemplate(WizardState& state) : state_(state) {}
    toolkit::HandlerTable Handlers();
    bool Bound(const toolkit::Control& c) const { return !c.Hint().empty(); }
    void Write(const toolkit::Control& c, const std::string& value, const char* handler);
    void AfterEditChange(toolkit::Control& c);
    void ClickAction(toolkit::Control& c);
    void FolderBrowserChange(toolkit::Control& c, const char* handler, const std::string& value,
                             const std::string& browsed);
    void AutoAdvance(toolkit::Control& edit);
    void ShowProgressValues(toolkit::Control& bar, const ProgressValues& values);
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR, DWORD);

    WizardState& state_;
    std::unique_ptr<toolkit::Page> page_;
    std::string key_;
    UINT_PTR timer_ = 0;
};

}  // namespace qv::win
