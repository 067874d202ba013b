// The wizard's pages of one run: every "Display Dialog" page pre-loaded at
// start-up under its identifier (the command's 0-based position), prepared
// from the variables before it is shown, restored afterwards, and handed
// over on screen without blinking.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "wizard/page_host.h"
#include "wizard/pool_template.h"

namespace qv::win {

class WizardPages : public PageHost {
public:
    // The dialog folder is the workspace, where the dialog and support files lie.
    WizardPages(RunContext& cx, std::string dialogFolder);
    ~WizardPages() override;

    // Reads the dialog file and its ".zorf" rules into a new hidden page;
    // a page already stored under the identifier is replaced. Throws with
    // the file's error.
    HWND PreloadDialog(const std::string& identifier, const std::string& formPath);
    PoolTemplate* FindPage(const std::string& identifier) const;

    void PreparePage(const std::string& identifier) override;
    void RestorePage(const std::string& identifier) override;
    ShownPage ShowPage(const std::string& identifier, bool wait) override;
    void HidePage(const std::string& identifier) override;
    std::string CurrentPageId() const override { return state_.currentPageId; }
    void FreezeWindow(std::uintptr_t window, bool frozen) override;

    WizardState& state() { return state_; }

private:
    void Present(PoolTemplate& page);

    WizardState state_;
    std::vector<std::pair<std::string, std::unique_ptr<PoolTemplate>>> registry_;
};

}  // namespace qv::win
