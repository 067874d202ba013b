// The form runtime: a top-level page window made from a dialog file's tree,
// with a native control for each component, the property interface that
// reads and writes any property by name as text, and the events that call
// the page class's published handlers.
//
// A page is made hidden. The host shows it, runs the message loop (passing
// each message through PreTranslatePageMessage so that the keyboard works
// as in a dialog) and reacts to the handlers it published. Property texts
// are 8-bit texts in the system's code page, the script's texts.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "wizard/form_file.h"
#include "wizard/toolkit/control_classes.h"
#include "wizard/toolkit/control_state.h"

namespace qv::toolkit {

class Control;
class Page;

// What a handler is told. Events of controls: "OnClick" (buttons, labels,
// images, check and radio boxes, list boxes, check lists, combo boxes chosen
// from the list), "OnChange" (edits, memos, rich edits, combo boxes, track
// bars, up-downs, tree views, the file, folder, drive, filter and shell
// controls), "OnMouseUp" (every control), "OnClickCheck" (check lists),
// "OnDblClick", "OnEnter", "OnExit".
struct Event {
    std::string name;
    int x = 0, y = 0;        // OnMouseUp: where, in the control's client pixels
    int button = 0;          // OnMouseUp: 0 left, 1 right, 2 middle
    int item = -1;           // OnClickCheck: the item whose box changed
    HTREEITEM node = nullptr;  // tree views' OnChange: the newly selected node
    std::string text;        // events raised by the host itself (a hot spot's address, ...)
};

using EventHandler = std::function<void(Control& sender, const Event& event)>;

struct NameLess {
    bool operator()(const std::string& a, const std::string& b) const;
};
// The page class's published handlers by name ("Button1Click"); names
// compare with letter case ignored, as in dialog files.
using HandlerTable = std::map<std::string, EventHandler, NameLess>;

struct PageOptions {
    HandlerTable handlers;
    HWND owner = nullptr;
    // The page window's class; empty: the root object's class name.
    std::string windowClass;
    // Esc. Unset: the visible, enabled button with Cancel = True is clicked.
    std::function<void(Page&)> onCancelKey;
    // The close box and Alt+F4: the window is hidden when it answers true.
    // Unset: closing is refused.
    std::function<bool(Page&)> onCloseQuery;
    // An error that leaves a handler. Unset: an error box owned by the page.
    std::function<void(Page&, const std::exception&)> onError;
    // 0: the screen's.
    int screenPixelsPerInch = 0;
};

class Control {
public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;
    ~Control();

    const std::string& name() const { return model_.name; }
    const std::string& className() const { return model_.className; }
    // None for components of classes the page does not know: they keep their
    // properties but have no window.
    const ControlClass* controlClass() const { return class_; }
    bool IsA(std::string_view className) const;
    HWND window() const { return window_; }
    Control* parent() const { return parent_; }
    const std::vector<Control*>& children() const { return children_; }
    Page& page() const { return *page_; }

    // --- the property interface ---
    // The text of a property ("True", "12", "taCenter", a caption); none when
    // the control has no such property. Texts the user can change (Text,
    // Caption of edits, Checked, ItemIndex, Position, Lines, ...) are read
    // from the window.
    std::optional<std::string> Property(std::string_view name) const;
    // Sets a property from its text and shows the change. Event properties
    // ("OnClick") take a handler name of the page, or an empty text to
    // detach. Throws FormError when the text does not fit the property or
    // names no handler; the control is then unchanged.
    void SetProperty(std::string_view name, std::string_view text);
    std::vector<std::string> PropertyNames() const;

    // --- typed shortcuts over the same properties ---
    std::string Text() const;  // Caption or Text, whichever the class shows
    void SetText(std::string_view text);
    int Tag() const;
    std::string Hint() const;
    bool Checked() const;
    void SetChecked(bool checked);
    std::vector<std::string> Items() const;  // Items of lists, Lines of memos
    void SetItems(const std::vector<std::string>& items);
    int ItemIndex() const;
    void SetItemIndex(int index);
    // Check lists: the box of each item.
    bool ItemChecked(int index) const;
    void SetItemChecked(int index, bool checked);

    // Tree views (nodes are the control's own items).
    HTREEITEM AddNode(HTREEITEM parent, std::string_view text);
    void ClearNodes();
    std::vector<HTREEITEM> Nodes(HTREEITEM parent) const;  // null: the top level
    std::string NodeText(HTREEITEM node) const;
    void SetNodeText(HTREEITEM node, std::string_view text);
    HTREEITEM NodeParent(HTREEITEM node) const;
    HTREEITEM SelectedNode() const;
    void SelectNode(HTREEITEM node);

    // --- events ---
    // The handler name an event property holds ("" when none).
    std::string Handler(std::string_view event) const;
    void SetHandler(std::string_view event, std::string_view handlerName);
    // Calls the handler bound to the event, if any; errors go to the page's
    // error report.
    void Fire(std::string_view event, Event details = {});

    // The state behind the window (for the window layer).
    ControlState& state() { return state_; }
    FormObject& model() { return model_; }
    const FormObject& model() const { return model_; }

private:
    friend class Page;
    Control(Page& page, Control* parent, FormObject model);
    void ReadBack(std::string_view name) const;

    Page* page_;
    Control* parent_;
    std::vector<Control*> children_;
    mutable FormObject model_;
    const ControlClass* class_;
    HWND window_ = nullptr;
    ControlState state_;
};

class Page {
public:
    // Makes the hidden page window and its controls. Throws FormError for a
    // tree the page cannot show (a bad property value, an event property
    // naming a handler the table does not have, a damaged picture), and
    // std::runtime_error when the system refuses a window.
    static std::unique_ptr<Page> Create(const FormObject& form, PageOptions options);
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;
    ~Page();

    HWND window() const { return window_; }
    // The page itself: Caption, Color, Hint, ClientWidth, ... of the root.
    Control& root() { return *root_; }
    // Every component below the root, in the file's order (a parent before
    // its children).
    const std::vector<Control*>& controls() const { return order_; }
    // The component of that Name (letter case ignored); the page itself is
    // not searched.
    Control* Find(std::string_view name) const;
    // The control that has the window, or the page's root for the page window.
    Control* FromWindow(HWND window) const;
    static Page* OfWindow(HWND window);

    const HandlerTable& handlers() const { return options_.handlers; }
    // Screen pixels for form pixels.
    int Scale(int formPixels) const;
    int formPixelsPerInch() const { return formPpi_; }
    int screenPixelsPerInch() const { return screenPpi_; }

    // Shows the page and gives the focus to the first control in tab order.
    void Show();
    void Hide();

    // The visible, enabled buttons with Default = True and Cancel = True.
    Control* DefaultButton() const;
    Control* CancelButton() const;
    // Handles Esc: the option's callback, or a click on the cancel button.
    void CancelKey();
    // Asks the close query (the close box, Alt+F4).
    void CloseRequested();
    void ReportError(const std::exception& error);

    // For the window layer: routes a control's notification to its control,
    // places the children of a container (null: the page) after a change of
    // geometry, and puts their windows in tab order.
    LRESULT Route(HWND container, UINT message, WPARAM wp, LPARAM lp, bool& handled);
    void Arrange(Control* container);
    void OrderWindows(Control* container);

private:
    Page() = default;
    void Build(const FormObject& form);
    Control& Add(Control* parent, const FormObject& object, int siblingIndex);
    void BindHandlers();
    friend class Control;

    PageOptions options_;
    HWND window_ = nullptr;
    std::vector<std::unique_ptr<Control>> owned_;
    Control* root_ = nullptr;
    std::vector<Control*> order_;
    std::map<HWND, Control*> byWindow_;
    int formPpi_ = 96, screenPpi_ = 96;
    bool scaled_ = true;
};

// Keyboard use of pages for the host's message loop: tab order, arrows in
// groups, mnemonics, Enter for the default button, Esc for cancel. True when
// the message was used (do not translate or dispatch it then).
bool PreTranslatePageMessage(MSG& message);

// Handles one window message (waiting for one when `wait` and none is
// queued) through PreTranslatePageMessage. False when none was there, or
// when the message was WM_QUIT.
bool ProcessPageMessage(bool wait);

}  // namespace qv::toolkit
