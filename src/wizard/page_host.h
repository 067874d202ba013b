// What the dialog commands need from the wizard: pages found by identifier,
// prepared, shown, restored and hidden. The stub implements it over the page
// windows; tests with plain data. In silent mode the commands do not call it.
#pragma once

#include <cstdint>
#include <string>

namespace qv {

// How a page ended. The gaps are part of the encoding.
enum class PageOutcome : std::int32_t { Pending = -1, NotModal = 0, Cancel = 2, Next = 6, Back = 7, Named = 8 };

struct ShownPage {
    PageOutcome result = PageOutcome::Next;
    std::string clickedName;   // with Named: the Name of the control that ended the page
    std::uintptr_t window = 0; // shown without waiting: the page's window
};

class PageHost {
public:
    virtual ~PageHost() = default;
    virtual void PreparePage(const std::string& identifier) = 0;
    virtual void RestorePage(const std::string& identifier) = 0;
    // Waiting: returns once the user has ended the page. Not waiting: returns
    // at once with the page's window.
    virtual ShownPage ShowPage(const std::string& identifier, bool wait) = 0;
    virtual void HidePage(const std::string& identifier) = 0;
    // The identifier of the page shown by the last display that has not
    // ended; empty otherwise.
    virtual std::string CurrentPageId() const = 0;
    // Drawing of a page window held back while the next page is prepared.
    virtual void FreezeWindow(std::uintptr_t window, bool frozen) = 0;
};

}  // namespace qv
