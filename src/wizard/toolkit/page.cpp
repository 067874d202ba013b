// The page window: made from the tree, its controls placed and ordered, and
// the messages of its controls routed to them.
#include <algorithm>
#include <set>
#include <stdexcept>

#include "wizard/toolkit/layout.h"
#include "wizard/toolkit/model_values.h"
#include "wizard/toolkit/window_layer.h"

namespace qv::toolkit {

namespace {

constexpr int kFirstControlId = 100;
// Each window carries its component's Name as a global atom, so that tools
// outside the process (the test driver, accessibility aids) can tell
// controls apart.
const wchar_t kNameProperty[] = L"QuorvexName";
const wchar_t kPageProperty[] = L"QuorvexPage";

void PublishName(HWND window, const std::string& name) {
    if (name.empty()) return;
    ATOM atom = ::GlobalAddAtomW(Utf8ToWide(name).c_str());
    if (atom) ::SetPropW(window, kNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom)));
}

void WithdrawName(HWND window) {
    auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(::RemovePropW(window, kNameProperty)));
    if (atom) ::GlobalDeleteAtom(atom);
}

// A control's children as they appear in its window: the children of
// components without a window of their own (non-visual ones) count as the
// container's.
void WindowChildren(const std::vector<Control*>& children, std::vector<Control*>& out) {
    for (Control* child : children) {
        out.push_back(child);
        if (!child->controlClass()) WindowChildren(child->children(), out);
    }
}

bool IsKind(const Control* c, NativeKind kind) { return c && c->controlClass() && c->controlClass()->kind == kind; }

LRESULT CALLBACK PageProc(HWND w, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_NCCREATE)
        ::SetWindowLongPtrW(w, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    auto* page = reinterpret_cast<Page*>(::GetWindowLongPtrW(w, GWLP_USERDATA));
    if (!page || !page->window()) return ::DefWindowProcW(w, message, wp, lp);
    bool handled = false;
    LRESULT result = page->Route(w, message, wp, lp, handled);
    if (handled) return result;
    Control& root = page->root();
    switch (message) {
    case WM_ERASEBKGND: {
        RECT r;
        ::GetClientRect(w, &r);
        ::FillRect(reinterpret_cast<HDC>(wp), &r,
                   root.state().brush.get() ? root.state().brush.get() : ::GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(w, &ps);
        detail::PaintContainer(root, dc, ps.rcPaint);
        ::EndPaint(w, &ps);
        return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: detail::ContainerMouseEvent(root, message, lp); return 0;
    case WM_CLOSE: page->CloseRequested(); return 0;
    case DM_GETDEFID: {
        Control* button = page->DefaultButton();
        return button ? MAKELRESULT(button->state().id, DC_HASDEFID) : 0;
    }
    case WM_ACTIVATE:
        // The focus comes back to where it was when the page is activated again.
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND focus = ::GetFocus();
            if (focus && ::IsChild(w, focus)) ::SetPropW(w, L"QuorvexFocus", focus);
        } else if (auto focus = static_cast<HWND>(::GetPropW(w, L"QuorvexFocus")); focus && ::IsWindow(focus)) {
            ::SetFocus(focus);
            return 0;
        }
        break;
    case WM_NCDESTROY: ::RemovePropW(w, L"QuorvexFocus"); break;
    }
    return ::DefWindowProcW(w, message, wp, lp);
}

void RegisterPageClass(const std::wstring& name) {
    static std::set<std::wstring> registered;
    if (registered.count(name)) return;
    WNDCLASSW wc = {};
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hIcon = ::LoadIconW(wc.hInstance, MAKEINTRESOURCEW(1));
    wc.lpfnWndProc = PageProc;
    wc.lpszClassName = name.c_str();
    if (!::RegisterClassW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        throw std::runtime_error("Cannot register the page window class");
    registered.insert(name);
}

}  // namespace

std::unique_ptr<Page> Page::Create(const FormObject& form, PageOptions options) {
    static bool commonControls = [] {
        INITCOMMONCONTROLSEX init = {sizeof init, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        return ::InitCommonControlsEx(&init) != FALSE;
    }();
    (void)commonControls;
    detail::RegisterWindowClasses();
    std::unique_ptr<Page> page(new Page());
    page->options_ = std::move(options);
    page->Build(form);
    return page;
}

Page::~Page() {
    // The controls' windows go with the page window; forget them first.
    for (auto& control : owned_) {
        if (control->window_) WithdrawName(control->window_);
        control->window_ = nullptr;
    }
    if (window_) {
        WithdrawName(window_);
        ::RemovePropW(window_, kPageProperty);
        ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        ::DestroyWindow(window_);
    }
}

int Page::Scale(int formPixels) const { return scaled_ ? ScaleToScreen(formPixels, formPpi_, screenPpi_) : formPixels; }

void Page::Build(const FormObject& form) {
    owned_.push_back(std::unique_ptr<Control>(new Control(*this, nullptr, WithPageDefaults(form))));
    root_ = owned_.back().get();
    const FormObject& m = root_->model();
    formPpi_ = Number(m, "PixelsPerInch", 96);
    if (formPpi_ <= 0) formPpi_ = 96;
    scaled_ = Flag(m, "Scaled", true);
    screenPpi_ = options_.screenPixelsPerInch;
    if (screenPpi_ <= 0) {
        HDC screen = ::GetDC(nullptr);
        screenPpi_ = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
    }
    std::wstring className = Utf8ToWide(options_.windowClass.empty() ? form.className : options_.windowClass);
    RegisterPageClass(className);

    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_CONTROLPARENT;
    std::string border = Ident(m, "BorderStyle", "bsDialog");
    if (EqualsIgnoreCaseAscii(border, "bsDialog")) exStyle |= WS_EX_DLGMODALFRAME;
    else if (EqualsIgnoreCaseAscii(border, "bsSizeable")) style |= WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    else if (EqualsIgnoreCaseAscii(border, "bsSingle")) style |= WS_MINIMIZEBOX;
    else if (EqualsIgnoreCaseAscii(border, "bsNone")) style = WS_POPUP | WS_CLIPCHILDREN;
    else if (EqualsIgnoreCaseAscii(border, "bsToolWindow")) exStyle |= WS_EX_TOOLWINDOW;
    RECT frame = {0, 0, Scale(Number(m, "Width", 320)), Scale(Number(m, "Height", 240))};
    if (FindProperty(m, "ClientWidth") || FindProperty(m, "ClientHeight")) {
        RECT client = {0, 0, Scale(Number(m, "ClientWidth", 320)), Scale(Number(m, "ClientHeight", 240))};
        ::AdjustWindowRectEx(&client, style, FALSE, exStyle);
        if (FindProperty(m, "ClientWidth")) frame.right = client.right - client.left;
        if (FindProperty(m, "ClientHeight")) frame.bottom = client.bottom - client.top;
    }
    std::wstring caption = WideText(m, "Caption");
    window_ = ::CreateWindowExW(exStyle, className.c_str(), caption.c_str(), style, Scale(Number(m, "Left")),
                                Scale(Number(m, "Top")), frame.right, frame.bottom, options_.owner, nullptr,
                                ::GetModuleHandleW(nullptr), this);
    if (!window_) throw std::runtime_error("Cannot create the page window");
    byWindow_[window_] = root_;
    PublishName(window_, form.name);
    ::SetPropW(window_, kPageProperty, this);
    detail::UpdateAppearance(*root_);

    int windowed = 0;
    for (const FormObject& child : form.children) Add(nullptr, child, windowed++);
    for (Control* c : order_) detail::ApplyProperty(*c, "");
    // Up-downs take their buddy once every control exists.
    for (Control* c : order_)
        if (IsKind(c, NativeKind::UpDown) && !Ident(c->model(), "Associate").empty())
            detail::ApplyProperty(*c, "Associate");
    Arrange(nullptr);
    BindHandlers();
}

Control& Page::Add(Control* parent, const FormObject& object, int siblingIndex) {
    owned_.push_back(std::unique_ptr<Control>(new Control(*this, parent, WithClassDefaults(object, siblingIndex))));
    Control& c = *owned_.back();
    order_.push_back(&c);
    (parent ? parent->children_ : root_->children_).push_back(&c);
    c.state_.id = kFirstControlId + int(order_.size());
    if (IsKind(&c, NativeKind::CheckListBox) || IsKind(&c, NativeKind::ListBox) || IsKind(&c, NativeKind::ComboBox))
        if (!FindProperty(c.model_, "Items.Strings")) c.model_.properties.push_back({"Items.Strings", FormValue::ListOf({})});
    if (IsKind(&c, NativeKind::Memo) || IsKind(&c, NativeKind::RichEdit))
        if (!FindProperty(c.model_, "Lines.Strings")) c.model_.properties.push_back({"Lines.Strings", FormValue::ListOf({})});
    RECT rect = {Scale(Number(c.model_, "Left")), Scale(Number(c.model_, "Top")), 0, 0};
    rect.right = rect.left + Scale(Number(c.model_, "Width"));
    rect.bottom = rect.top + Scale(Number(c.model_, "Height"));
    c.state_.placed = rect;
    // The font and colours come before the window so that it is made with them.
    if (c.controlClass()) {
        const ControlState& from = parent ? parent->state_ : root_->state_;
        c.state_.font = ReadFont(c.model_, from.font, formPpi_);
    }
    c.window_ = detail::CreateControlWindow(c, detail::ContainerWindow(parent, *this), rect, c.state_.id);
    if (c.controlClass() && !detail::IsPainted(c) && !c.window_)
        throw std::runtime_error("Cannot create the window of \"" + c.name() + "\"");
    if (c.window_) {
        byWindow_[c.window_] = &c;
        PublishName(c.window_, c.name());
    }
    int windowed = 0;
    for (const FormObject& child : object.children) Add(&c, child, windowed++);
    return c;
}

void Page::Arrange(Control* container) {
    std::vector<Control*> children;
    WindowChildren(container ? container->children_ : root_->children_, children);
    HWND window = detail::ContainerWindow(container, *this);
    RECT client;
    ::GetClientRect(window, &client);
    Rect area = {0, 0, client.right, client.bottom};
    if (IsKind(container, NativeKind::GroupBox)) {
        int caption = Scale(std::abs(container->state_.font.height)) + 2;
        area = {2, caption, std::max(0, int(client.right) - 4), std::max(0, int(client.bottom) - caption - 2)};
    }
    std::vector<Align> aligns;
    std::vector<Rect> rects;
    for (Control* c : children) {
        const FormObject& m = c->model_;
        aligns.push_back(ParseAlign(Ident(m, "Align", "alNone")));
        rects.push_back({Scale(Number(m, "Left")), Scale(Number(m, "Top")), Scale(Number(m, "Width")),
                         Scale(Number(m, "Height"))});
    }
    rects = ArrangeAligned(area, aligns, rects);
    for (std::size_t i = 0; i < children.size(); ++i) {
        Control* c = children[i];
        Rect& r = rects[i];
        const FormObject& m = c->model_;
        // A label that sizes itself to its text grows when the screen's font
        // is wider than the one it was laid out with.
        if (IsKind(c, NativeKind::Label) && c->window_ && Flag(m, "AutoSize", true) && !Flag(m, "WordWrap") &&
            aligns[i] == Align::None) {
            HDC dc = ::GetDC(c->window_);
            HGDIOBJ old = ::SelectObject(dc, c->state_.hfont.get());
            std::wstring text = WindowText(c->window_);
            RECT measure = {0, 0, 0, 0};
            UINT flags = DT_CALCRECT | DT_EXPANDTABS | (Flag(m, "ShowAccelChar", true) ? 0u : UINT(DT_NOPREFIX));
            if (!text.empty()) ::DrawTextW(dc, text.c_str(), -1, &measure, flags);
            ::SelectObject(dc, old);
            ::ReleaseDC(c->window_, dc);
            int grow = measure.right - r.width;
            if (grow > 0) {
                TextAlignment align = ParseTextAlignment(Ident(m, "Alignment"));
                if (align == TextAlignment::Right) r.left -= grow;
                else if (align == TextAlignment::Center) r.left -= grow / 2;
                r.width += grow;
            }
            if (measure.bottom > r.height) r.height = measure.bottom;
        }
        c->state_.placed = {r.left, r.top, r.left + r.width, r.top + r.height};
        if (c->window_) {
            int height = r.height;
            if (IsKind(c, NativeKind::ComboBox) || IsKind(c, NativeKind::DriveCombo) ||
                IsKind(c, NativeKind::FilterCombo) || IsKind(c, NativeKind::ShellCombo))
                height += Scale(16) * (Number(m, "DropDownCount", 8) + 1);
            ::MoveWindow(c->window_, r.left, r.top, r.width, height, TRUE);
        }
        if (c->controlClass() && c->controlClass()->container) Arrange(c);
    }
    OrderWindows(container);
    ::InvalidateRect(window, nullptr, TRUE);
}

void Page::OrderWindows(Control* container) {
    std::vector<Control*> children;
    WindowChildren(container ? container->children_ : root_->children_, children);
    std::vector<Control*> windowed, others;
    for (Control* c : children) {
        if (!c->window_) continue;
        (c->controlClass()->windowed ? windowed : others).push_back(c);
    }
    std::stable_sort(windowed.begin(), windowed.end(), [](Control* a, Control* b) {
        return Number(a->model_, "TabOrder") < Number(b->model_, "TabOrder");
    });
    windowed.insert(windowed.end(), others.begin(), others.end());
    HWND after = HWND_TOP;
    Control* previous = nullptr;
    for (Control* c : windowed) {
        ::SetWindowPos(c->window_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        after = c->window_;
        // Radio buttons that follow each other form one group for the arrow
        // keys; every other control starts a group of its own.
        bool continues = IsKind(c, NativeKind::RadioButton) && IsKind(previous, NativeKind::RadioButton);
        LONG_PTR style = ::GetWindowLongPtrW(c->window_, GWL_STYLE);
        style = continues ? (style & ~LONG_PTR(WS_GROUP)) : (style | WS_GROUP);
        bool tabStop = c->controlClass()->windowed && Flag(c->model_, "TabStop");
        style = tabStop ? (style | WS_TABSTOP) : (style & ~LONG_PTR(WS_TABSTOP));
        ::SetWindowLongPtrW(c->window_, GWL_STYLE, style);
        previous = c;
    }
}

void Page::BindHandlers() {
    for (auto& control : owned_) {
        for (const FormProperty& p : control->model_.properties) {
            if (p.name.size() < 3 || !EqualsIgnoreCaseAscii(p.name.substr(0, 2), "On") ||
                p.value.kind != FormValueKind::Identifier)
                continue;
            if (!options_.handlers.count(p.value.text))
                throw FormError("\"" + control->name() + "\" names the handler \"" + p.value.text + "\" for " +
                                p.name + ", which the page does not have");
        }
    }
}

Control* Page::Find(std::string_view name) const {
    for (Control* c : order_)
        if (EqualsIgnoreCaseAscii(c->name(), name)) return c;
    return nullptr;
}

Control* Page::FromWindow(HWND window) const {
    auto found = byWindow_.find(window);
    return found == byWindow_.end() ? nullptr : found->second;
}

Page* Page::OfWindow(HWND window) {
    HWND top = window ? ::GetAncestor(window, GA_ROOT) : nullptr;
    // A property rather than the window procedure: the host may subclass the page.
    return top ? static_cast<Page*>(::GetPropW(top, kPageProperty)) : nullptr;
}

void Page::Show() {
    ::ShowWindow(window_, SW_SHOW);
    HWND focus = ::GetFocus();
    if (!focus || !::IsChild(window_, focus)) {
        HWND first = ::GetNextDlgTabItem(window_, nullptr, FALSE);
        ::SetFocus(first ? first : window_);
    }
}

void Page::Hide() { ::ShowWindow(window_, SW_HIDE); }

static Control* ButtonWith(const std::vector<Control*>& controls, const char* flag) {
    for (Control* c : controls) {
        if (!c->window() || !c->IsA("TButton") || !Flag(c->model(), flag)) continue;
        if (::IsWindowVisible(c->window()) && ::IsWindowEnabled(c->window())) return c;
    }
    return nullptr;
}

Control* Page::DefaultButton() const { return ButtonWith(order_, "Default"); }
Control* Page::CancelButton() const { return ButtonWith(order_, "Cancel"); }

void Page::CancelKey() {
    if (options_.onCancelKey) {
        options_.onCancelKey(*this);
    } else if (Control* button = CancelButton()) {
        ::SendMessageW(button->window_, BM_CLICK, 0, 0);
    }
}

void Page::CloseRequested() {
    if (options_.onCloseQuery && options_.onCloseQuery(*this)) Hide();
}

void Page::ReportError(const std::exception& error) {
    if (options_.onError) {
        options_.onError(*this, error);
        return;
    }
    ::MessageBoxW(window_, AnsiToWide(error.what()).c_str(), L"Quorvex", MB_OK | MB_ICONERROR);
}

LRESULT Page::Route(HWND container, UINT message, WPARAM wp, LPARAM lp, bool& handled) {
    handled = false;
    switch (message) {
    case WM_COMMAND:
        if (Control* c = lp ? FromWindow(reinterpret_cast<HWND>(lp)) : nullptr) {
            handled = true;
            return detail::Command(*c, HIWORD(wp));
        }
        break;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lp);
        if (Control* c = FromWindow(header->hwndFrom)) return detail::Notify(*c, *header, handled);
        break;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (Control* c = lp ? FromWindow(reinterpret_cast<HWND>(lp)) : nullptr) {
            detail::Scrolled(*c, LOWORD(wp));
            handled = true;
            return 0;
        }
        break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
        if (Control* c = FromWindow(reinterpret_cast<HWND>(lp))) {
            auto dc = reinterpret_cast<HDC>(wp);
            ::SetTextColor(dc, ::IsWindowEnabled(c->window_) ? detail::ColorRefOf(c->state_.font.color)
                                                             : ::GetSysColor(COLOR_GRAYTEXT));
            ::SetBkColor(dc, detail::ColorRefOf(c->state_.color));
            if (HBRUSH brush = c->state_.brush.get()) {
                handled = true;
                return reinterpret_cast<LRESULT>(brush);
            }
        }
        break;
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        if (Control* c = FromWindow(item->hwndItem)) {
            detail::DrawOwnerItem(*c, *item);
            handled = true;
            return TRUE;
        }
        break;
    }
    case WM_MEASUREITEM: {
        auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        for (Control* c : order_)
            if (c->state_.id == int(item->CtlID) && IsKind(c, NativeKind::CheckListBox)) {
                item->itemHeight = UINT(Scale(Number(c->model_, "ItemHeight", 13) + 2));
                handled = true;
                return TRUE;
            }
        break;
    }
    }
    (void)container;
    return 0;
}

namespace detail {

HWND ContainerWindow(const Control* control, const Page& page) {
    for (const Control* c = control; c; c = c->parent())
        if (c->window() && c->controlClass() && c->controlClass()->container) return c->window();
    return page.window();
}

}  // namespace detail

}  // namespace qv::toolkit
