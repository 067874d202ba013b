#include "wizard/wizard_pages.h"

#include "common/text.h"
#include "engine/run_context.h"
#include "engine/variable_store.h"
#include "platform/files.h"
#include "platform/working_folder.h"
#include "wizard/toolkit/page.h"

namespace qv::win {

namespace {

void ProcessPendingMessages() {
    while (toolkit::ProcessPageMessage(false)) {
    }
}

}  // namespace

WizardPages::WizardPages(RunContext& cx, std::string dialogFolder) : state_(cx) {
    state_.dialogFolder = WithTrailingBackslash(std::move(dialogFolder));
    cx.cancelRequested = false;
}

WizardPages::~WizardPages() {
    for (auto& [id, page] : registry_)
        if (page) ::ShowWindow(page->window(), SW_HIDE);
}

HWND WizardPages::PreloadDialog(const std::string& identifier, const std::string& formPath) {
    WorkingFolder inDialogFolder(FolderOfPath(formPath));
    const std::string key = UpperAscii(identifier);
    std::unique_ptr<PoolTemplate>* slot = nullptr;
    for (auto& [id, page] : registry_)
        if (id == key) {
            ::ShowWindow(page->window(), SW_HIDE);
            if (state_.pageOnScreen == page.get()) state_.pageOnScreen = nullptr;
            page.reset();
            ProcessPendingMessages();
            slot = &page;
        }
    if (slot == nullptr) {
        registry_.emplace_back(key, nullptr);
        slot = &registry_.back().second;
    }
    std::unique_ptr<PoolTemplate> page = PoolTemplate::Create(state_, formPath);
    const std::string rulesPath = formPath + ".zorf";
    auto rules = ReadWholeFile(rulesPath);
    if (!rules) throw std::runtime_error("Cannot open file \"" + rulesPath + "\". The system cannot find the file specified");
    page->rules = ParseDialogRules(EncodeList(SplitLines(*rules)));
    *slot = std::move(page);
    return (*slot)->window();
}

PoolTemplate* WizardPages::FindPage(const std::string& identifier) const {
    const std::string key = UpperAscii(identifier);
    for (const auto& [id, page] : registry_)
        if (id == key) return page.get();
    return nullptr;
}

void WizardPages::FreezeWindow(std::uintptr_t window, bool frozen) {
    ::SendMessageA(reinterpret_cast<HWND>(window), WM_SETREDRAW, frozen ? FALSE : TRUE, 0);
    if (!frozen) ::RedrawWindow(reinterpret_cast<HWND>(window), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

ShownPage WizardPages::ShowPage(const std::string& identifier, bool wait) {
    RunContext& cx = state_.cx;
    cx.cancelRequested = false;
    WorkingFolder inDialogFolder(state_.dialogFolder);
    state_.currentPageId = identifier;
    ShownPage shown;
    if (cx.silent) return shown;
    PoolTemplate* page = FindPage(identifier);
    if (page == nullptr) throw std::runtime_error("No page was loaded for dialog " + identifier);

    RECT r{};
    ::GetWindowRect(page->window(), &r);
    const SIZE size{r.right - r.left, r.bottom - r.top};
    if (!state_.centreNextPage && (size.cx != state_.lastSize.cx || size.cy != state_.lastSize.cy))
        state_.centreNextPage = true;
    if (state_.centreNextPage) {
        RECT work{};
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        ::SetWindowPos(page->window(), nullptr, work.left + (work.right - work.left - size.cx) / 2,
                       work.top + (work.bottom - work.top - size.cy) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        state_.lastSize = size;
    } else {
        ::SetWindowPos(page->window(), nullptr, state_.lastPosition.x, state_.lastPosition.y, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER);
    }
    state_.centreNextPage = false;

    if (wait) {
        page->result = PageOutcome::Pending;
        Present(*page);
        while (page->result == PageOutcome::Pending)
            if (!toolkit::ProcessPageMessage(true)) break;
        shown.result = page->result == PageOutcome::Pending ? PageOutcome::Cancel : page->result;
        if (shown.result == PageOutcome::Named) shown.clickedName = page->clickedName;
        state_.currentPageId.clear();
    } else {
        shown.result = PageOutcome::NotModal;
        shown.window = reinterpret_cast<std::uintptr_t>(page->window());
        Present(*page);
    }
    ::GetWindowRect(page->window(), &r);
    state_.lastPosition = {r.left, r.top};
    return shown;
}

void WizardPages::Present(PoolTemplate& page) {
    page.CaptureTarget();
    page.ResetSystemMenu();
    page.canClose = false;
    page.page().Show();
    ::SetForegroundWindow(page.window());
    ProcessPendingMessages();
    PoolTemplate* previous = state_.pageOnScreen;
    if (previous != nullptr && previous != &page) {
        previous->canClose = true;
        ::ShowWindow(previous->window(), SW_HIDE);
        if (state_.lastRestoredWindow != nullptr && state_.lastRestoredWindow != page.window())
            ::ShowWindow(state_.lastRestoredWindow, SW_HIDE);
        ProcessPendingMessages();
    }
    state_.pageOnScreen = &page;
    page.page().Show();
    ::SetForegroundWindow(page.window());
    ProcessPendingMessages();
}

void WizardPages::HidePage(const std::string& identifier) {
    PoolTemplate* page = FindPage(identifier);
    if (page == nullptr) return;
    page->canClose = true;
    page->page().Hide();
    if (state_.pageOnScreen != nullptr) ::ShowWindow(state_.pageOnScreen->window(), SW_HIDE);
    if (state_.lastRestoredWindow != nullptr) ::ShowWindow(state_.lastRestoredWindow, SW_HIDE);
    ProcessPendingMessages();
    if (state_.pageOnScreen == page) state_.pageOnScreen = nullptr;
    state_.currentPageId.clear();
    RECT r{};
    ::GetWindowRect(page->window(), &r);
    state_.lastPosition = {r.left, r.top};
}

}  // namespace qv::win
