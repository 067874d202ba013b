// The controls the page draws itself: images, shapes, bevels, gauges and
// form shapes over their container's background, labels, panels, the boxes
// of check lists, bitmap buttons and the placeholders of the billboards.
#include <algorithm>
#include <cmath>

#include "wizard/toolkit/model_values.h"
#include "wizard/toolkit/window_layer.h"

namespace qv::toolkit::detail {

const wchar_t kPanelClass[] = L"QuorvexPanel";
const wchar_t kPlaceholderClass[] = L"QuorvexPlaceholder";

namespace {

class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(::SelectObject(dc, object)) {}
    ~SelectedObject() { ::SelectObject(dc_, old_); }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

COLORREF PropertyColor(const Control& c, const char* name, const Color& fallback) {
    return ColorRefOf(ReadColor(c.model(), name, fallback, fallback));
}

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF color) {
    GdiObject<HPEN> pen(::CreatePen(PS_SOLID, 1, color));
    SelectedObject use(dc, pen.get());
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
}

void PaintBevel(const Control& c, HDC dc, const RECT& r) {
    const FormObject& m = c.model();
    COLORREF dark = ::GetSysColor(COLOR_BTNSHADOW), light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    if (Is(m, "Style", "bsRaised")) std::swap(dark, light);
    int l = r.left, t = r.top, rr = r.right - 1, b = r.bottom - 1;
    if (Is(m, "Shape", "bsBox")) {
        Line(dc, l, b, l, t, dark), Line(dc, l, t, rr, t, dark);
        Line(dc, rr, t, rr, b, light), Line(dc, rr, b, l - 1, b, light);
    } else if (Is(m, "Shape", "bsFrame")) {
        Line(dc, l, b - 1, l, t, dark), Line(dc, l, t, rr - 1, t, dark);
        Line(dc, rr - 1, t, rr - 1, b - 1, dark), Line(dc, rr - 1, b - 1, l, b - 1, dark);
        Line(dc, l + 1, b - 1, l + 1, t + 1, light), Line(dc, l + 1, t + 1, rr, t + 1, light);
        Line(dc, rr, t, rr, b, light), Line(dc, rr, b, l - 1, b, light);
    } else if (Is(m, "Shape", "bsTopLine")) {
        Line(dc, l, t, rr + 1, t, dark), Line(dc, l, t + 1, rr + 1, t + 1, light);
    } else if (Is(m, "Shape", "bsBottomLine")) {
        Line(dc, l, b - 1, rr + 1, b - 1, dark), Line(dc, l, b, rr + 1, b, light);
    } else if (Is(m, "Shape", "bsLeftLine")) {
        Line(dc, l, t, l, b + 1, dark), Line(dc, l + 1, t, l + 1, b + 1, light);
    } else if (Is(m, "Shape", "bsRightLine")) {
        Line(dc, rr - 1, t, rr - 1, b + 1, dark), Line(dc, rr, t, rr, b + 1, light);
    }
}

void PaintShape(const Control& c, HDC dc, RECT r) {
    const FormObject& m = c.model();
    int penWidth = std::max(1, c.page().Scale(Number(m, "Pen.Width", 1)));
    int penStyle = Is(m, "Pen.Style", "psClear")        ? PS_NULL
                   : Is(m, "Pen.Style", "psDash")       ? PS_DASH
                   : Is(m, "Pen.Style", "psDot")        ? PS_DOT
                   : Is(m, "Pen.Style", "psDashDot")    ? PS_DASHDOT
                   : Is(m, "Pen.Style", "psDashDotDot") ? PS_DASHDOTDOT
                                                        : PS_SOLID;
    GdiObject<HPEN> pen(::CreatePen(penStyle, penWidth, PropertyColor(c, "Pen.Color", Color::FromRgb(0))));
    bool clear = Is(m, "Brush.Style", "bsClear");
    GdiObject<HBRUSH> brush(clear ? nullptr
                                  : ::CreateSolidBrush(PropertyColor(c, "Brush.Color", Color::FromRgb(0xFFFFFF))));
    SelectedObject usePen(dc, pen.get());
    SelectedObject useBrush(dc, clear ? ::GetStockObject(NULL_BRUSH) : brush.get());
    // The pen is drawn inside the control.
    int inset = penWidth / 2;
    ::InflateRect(&r, -inset, -inset);
    std::string shape = Ident(m, "Shape", "stRectangle");
    if (EqualsIgnoreCaseAscii(shape, "stSquare") || EqualsIgnoreCaseAscii(shape, "stRoundSquare") ||
        EqualsIgnoreCaseAscii(shape, "stCircle")) {
        int side = std::min(r.right - r.left, r.bottom - r.top);
        r.left += (r.right - r.left - side) / 2, r.top += (r.bottom - r.top - side) / 2;
        r.right = r.left + side, r.bottom = r.top + side;
    }
    int w = r.right - r.left, h = r.bottom - r.top;
    if (EqualsIgnoreCaseAscii(shape, "stEllipse") || EqualsIgnoreCaseAscii(shape, "stCircle"))
        ::Ellipse(dc, r.left, r.top, r.right + 1 - (penWidth & 1), r.bottom + 1 - (penWidth & 1));
    else if (EqualsIgnoreCaseAscii(shape, "stRoundRect") || EqualsIgnoreCaseAscii(shape, "stRoundSquare"))
        ::RoundRect(dc, r.left, r.top, r.right, r.bottom, std::min(w, h) / 4, std::min(w, h) / 4);
    else
        ::Rectangle(dc, r.left, r.top, r.right + 1 - (penWidth & 1), r.bottom + 1 - (penWidth & 1));
}

void PaintGauge(const Control& c, HDC dc, RECT r) {
    const FormObject& m = c.model();
    COLORREF fore = PropertyColor(c, "ForeColor", Color::FromRgb(0)),
             back = PropertyColor(c, "BackColor", Color::FromRgb(0xFFFFFF));
    if (!Is(m, "BorderStyle", "bsNone")) {
        ::FrameRect(dc, &r, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        ::InflateRect(&r, -1, -1);
    }
    long long min = Number(m, "MinValue"), max = Number(m, "MaxValue", 100), progress = Number(m, "Progress");
    long long span = max - min;
    int percent = span > 0 ? int(std::clamp((progress - min) * 100 / span, 0LL, 100LL)) : 0;
    GdiObject<HBRUSH> backBrush(::CreateSolidBrush(back)), foreBrush(::CreateSolidBrush(fore));
    ::FillRect(dc, &r, backBrush.get());
    RECT filled = r;
    bool vertical = Is(m, "Kind", "gkVerticalBar");
    if (Is(m, "Kind", "gkPie") || Is(m, "Kind", "gkNeedle")) {
        SelectedObject use(dc, foreBrush.get());
        int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
        double angle = 3.14159265358979 * 2 * percent / 100;
        if (percent > 0)
            ::Pie(dc, r.left, r.top, r.right, r.bottom, cx + int(1000 * std::sin(angle)),
                  cy - int(1000 * std::cos(angle)), cx, r.top);
    } else if (!Is(m, "Kind", "gkText")) {
        if (vertical) filled.top = r.bottom - (r.bottom - r.top) * percent / 100;
        else filled.right = r.left + (r.right - r.left) * percent / 100;
        ::FillRect(dc, &filled, foreBrush.get());
    }
    if (!Flag(m, "ShowText", true)) return;
    std::wstring text = std::to_wstring(percent) + L"%";
    ::SetBkMode(dc, TRANSPARENT);
    SelectedObject font(dc, const_cast<Control&>(c).state().hfont.get());
    // The text reads in the background colour over the bar and the bar's
    // colour elsewhere.
    int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, filled.left, filled.top, filled.right, filled.bottom);
    ::SetTextColor(dc, back);
    ::DrawTextW(dc, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::RestoreDC(dc, saved);
    saved = ::SaveDC(dc);
    ::ExcludeClipRect(dc, filled.left, filled.top, filled.right, filled.bottom);
    ::SetTextColor(dc, fore);
    ::DrawTextW(dc, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::RestoreDC(dc, saved);
}

void PaintPicture(const Control& c, HDC dc, const RECT& r) {
    const ControlState& s = const_cast<Control&>(c).state();
    if (!s.bitmap.get()) return;
    const FormObject& m = c.model();
    int bw = s.picture.width, bh = s.picture.height, w = r.right - r.left, h = r.bottom - r.top;
    RECT to = {r.left, r.top, r.left + bw, r.top + bh};
    if (Flag(m, "Stretch")) {
        to = r;
        if (Flag(m, "Proportional") && bw > 0 && bh > 0) {
            double scale = std::min(double(w) / bw, double(h) / bh);
            int sw = int(bw * scale), sh = int(bh * scale);
            to = {r.left + (w - sw) / 2, r.top + (h - sh) / 2, 0, 0};
            to.right = to.left + sw, to.bottom = to.top + sh;
        }
    } else if (Flag(m, "Center")) {
        to = {r.left + (w - bw) / 2, r.top + (h - bh) / 2, 0, 0};
        to.right = to.left + bw, to.bottom = to.top + bh;
    }
    HDC memory = ::CreateCompatibleDC(dc);
    HGDIOBJ old = ::SelectObject(memory, s.bitmap.get());
    int saved = ::SaveDC(dc);
    ::IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    bool transparent = Flag(m, "Transparent") || c.controlClass()->kind == NativeKind::FormShape;
    ::SetStretchBltMode(dc, COLORONCOLOR);
    if (transparent)
        ::TransparentBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, memory, 0, 0, bw, bh,
                         ::GetPixel(memory, 0, bh - 1));
    else
        ::StretchBlt(dc, to.left, to.top, to.right - to.left, to.bottom - to.top, memory, 0, 0, bw, bh, SRCCOPY);
    ::RestoreDC(dc, saved);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
}

void PaintOne(Control& c, HDC dc) {
    RECT r = PlacedRect(c);
    switch (c.controlClass()->kind) {
    case NativeKind::Bevel: PaintBevel(c, dc, r); break;
    case NativeKind::Shape: PaintShape(c, dc, r); break;
    case NativeKind::Gauge: PaintGauge(c, dc, r); break;
    case NativeKind::Image:
    case NativeKind::FormShape: PaintPicture(c, dc, r); break;
    default: break;
    }
}

Control& ContainerOf(Control& c) { return c.parent() ? *c.parent() : c.page().root(); }

// Clicks on the painted controls of a container.
void ContainerMouse(Control& container, UINT message, LPARAM lp) {
    POINT at = {short(LOWORD(lp)), short(HIWORD(lp))};
    Control* target = PaintedAt(container, at);
    if (!target || !Flag(target->model(), "Enabled", true)) return;
    RECT r = PlacedRect(*target);
    Event e;
    e.x = at.x - r.left, e.y = at.y - r.top;
    e.button = message == WM_LBUTTONUP ? 0 : message == WM_RBUTTONUP ? 1 : 2;
    if (message == WM_LBUTTONUP) target->Fire("OnClick");
    target->Fire("OnMouseUp", e);
}

void PaintPanel(Control& c, HDC dc, const RECT& clip) {
    const FormObject& m = c.model();
    RECT r;
    ::GetClientRect(c.window(), &r);
    if (c.state().brush.get()) ::FillRect(dc, &r, c.state().brush.get());
    int width = std::max(1, Number(m, "BevelWidth", 1));
    auto bevel = [&](const char* property) {
        bool raised = Is(m, property, "bvRaised"), lowered = Is(m, property, "bvLowered");
        if (!raised && !lowered) return;
        for (int i = 0; i < width; ++i) {
            ::DrawEdge(dc, &r, raised ? BDR_RAISEDINNER : BDR_SUNKENOUTER, BF_RECT);
            ::InflateRect(&r, -1, -1);
        }
    };
    bevel("BevelOuter");
    ::InflateRect(&r, -Number(m, "BorderWidth"), -Number(m, "BorderWidth"));
    bevel("BevelInner");
    std::wstring caption = WideText(m, "Caption");
    if (!caption.empty()) {
        SelectedObject font(dc, c.state().hfont.get());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::IsWindowEnabled(c.window()) ? ColorRefOf(c.state().font.color)
                                                          : ::GetSysColor(COLOR_GRAYTEXT));
        UINT align = ParseTextAlignment(Ident(m, "Alignment")) == TextAlignment::Left    ? DT_LEFT
                     : ParseTextAlignment(Ident(m, "Alignment")) == TextAlignment::Right ? DT_RIGHT
                                                                                         : DT_CENTER;
        ::DrawTextW(dc, caption.c_str(), -1, &r, align | DT_VCENTER | DT_SINGLELINE);
    }
    PaintContainer(c, dc, clip);
}

LRESULT CALLBACK PanelProc(HWND w, UINT message, WPARAM wp, LPARAM lp) {
    if (message == WM_NCCREATE)
        ::SetWindowLongPtrW(w, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    auto* c = reinterpret_cast<Control*>(::GetWindowLongPtrW(w, GWLP_USERDATA));
    if (c) {
        bool handled = false;
        LRESULT result = c->page().Route(w, message, wp, lp, handled);
        if (handled) return result;
        switch (message) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(w, &ps);
            if (c->controlClass()->kind == NativeKind::Panel) {
                PaintPanel(*c, dc, ps.rcPaint);
            } else {
                RECT r;
                ::GetClientRect(w, &r);
                if (c->state().brush.get()) ::FillRect(dc, &r, c->state().brush.get());
            }
            ::EndPaint(w, &ps);
            return 0;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            ContainerMouse(*c, message, lp);
            if (message == WM_LBUTTONUP && !PaintedAt(*c, {short(LOWORD(lp)), short(HIWORD(lp))})) c->Fire("OnClick");
            break;
        case WM_ENABLE: ::InvalidateRect(w, nullptr, TRUE); break;
        case WM_SETTEXT: {
            LRESULT r = ::DefWindowProcW(w, message, wp, lp);
            ::InvalidateRect(w, nullptr, TRUE);
            return r;
        }
        }
    }
    return ::DefWindowProcW(w, message, wp, lp);
}

void CheckBox(HDC dc, RECT box, bool checked, bool enabled) {
    UINT state = DFCS_BUTTONCHECK | (checked ? DFCS_CHECKED : 0) | (enabled ? 0 : DFCS_INACTIVE);
    ::DrawFrameControl(dc, &box, DFC_BUTTON, state);
}

void DrawCheckItem(Control& c, const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    bool selected = item.itemState & ODS_SELECTED;
    bool enabled = ::IsWindowEnabled(c.window());
    ::FillRect(dc, &r, c.state().brush.get() ? c.state().brush.get() : ::GetSysColorBrush(COLOR_WINDOW));
    if (item.itemID == UINT(-1)) return;
    int side = std::min(int(r.bottom - r.top) - 2, ::GetSystemMetrics(SM_CXMENUCHECK));
    RECT box = {r.left + 2, r.top + (r.bottom - r.top - side) / 2, 0, 0};
    box.right = box.left + side, box.bottom = box.top + side;
    CheckBox(dc, box, c.ItemChecked(int(item.itemID)), enabled);
    RECT text = r;
    text.left = box.right + 3;
    int length = int(::SendMessageW(c.window(), LB_GETTEXTLEN, item.itemID, 0));
    std::wstring label(std::size_t(length > 0 ? length : 0) + 1, L'\0');
    ::SendMessageW(c.window(), LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(label.data()));
    label.resize(std::size_t(length > 0 ? length : 0));
    SIZE extent;
    ::GetTextExtentPoint32W(dc, label.c_str(), int(label.size()), &extent);
    RECT mark = {text.left - 1, text.top, text.left + extent.cx + 2, text.bottom};
    if (selected) ::FillRect(dc, &mark, ::GetSysColorBrush(COLOR_HIGHLIGHT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, !enabled  ? ::GetSysColor(COLOR_GRAYTEXT)
                       : selected ? ::GetSysColor(COLOR_HIGHLIGHTTEXT)
                                  : ColorRefOf(c.state().font.color));
    ::DrawTextW(dc, label.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &mark);
}

void DrawBmpButton(Control& c, const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    bool pressed = item.itemState & ODS_SELECTED;
    ControlState& s = c.state();
    HBITMAP bitmap = pressed && s.downBitmap.get() ? s.downBitmap.get() : s.bitmap.get();
    if (bitmap) {
        BITMAP info;
        ::GetObjectW(bitmap, sizeof info, &info);
        HDC memory = ::CreateCompatibleDC(dc);
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        int offset = pressed && !s.downBitmap.get() ? 1 : 0;
        ::FillRect(dc, &r, ::GetSysColorBrush(COLOR_BTNFACE));
        ::BitBlt(dc, r.left + offset, r.top + offset, info.bmWidth, info.bmHeight, memory, 0, 0, SRCCOPY);
        ::SelectObject(memory, old);
        ::DeleteDC(memory);
    } else {
        ::DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    }
    std::wstring caption = WindowText(c.window());
    SelectedObject font(dc, s.hfont.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, item.itemState & ODS_DISABLED ? ::GetSysColor(COLOR_GRAYTEXT) : ColorRefOf(s.font.color));
    RECT text = r;
    if (pressed) ::OffsetRect(&text, 1, 1);
    ::DrawTextW(dc, caption.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        ::InflateRect(&focus, -3, -3);
        ::DrawFocusRect(dc, &focus);
    }
}

}  // namespace

RECT PlacedRect(const Control& control) { return const_cast<Control&>(control).state().placed; }

void PaintContainer(Control& container, HDC dc, const RECT& clip) {
    for (Control* child : container.children()) {
        if (!IsPainted(*child) || !Flag(child->model(), "Visible", true)) continue;
        RECT r = PlacedRect(*child), common;
        if (::IntersectRect(&common, &r, &clip)) PaintOne(*child, dc);
    }
}

Control* PaintedAt(Control& container, POINT point) {
    const auto& children = container.children();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        Control* child = *it;
        if (!IsPainted(*child) || child->controlClass()->kind == NativeKind::Bevel ||
            !Flag(child->model(), "Visible", true))
            continue;
        RECT r = PlacedRect(*child);
        if (::PtInRect(&r, point)) return child;
    }
    return nullptr;
}

void PaintLabel(Control& label, HDC dc) {
    const FormObject& m = label.model();
    RECT r;
    ::GetClientRect(label.window(), &r);
    Control& container = ContainerOf(label);
    if (Flag(m, "Transparent")) {
        // What the container shows behind the label, then the text over it.
        RECT placed = PlacedRect(label);
        if (container.state().brush.get()) ::FillRect(dc, &r, container.state().brush.get());
        POINT old;
        ::SetViewportOrgEx(dc, -placed.left, -placed.top, &old);
        PaintContainer(container, dc, placed);
        ::SetViewportOrgEx(dc, old.x, old.y, nullptr);
    } else if (label.state().brush.get()) {
        ::FillRect(dc, &r, label.state().brush.get());
    }
    std::wstring caption = WindowText(label.window());
    SelectedObject font(dc, label.state().hfont.get());
    ::SetBkMode(dc, TRANSPARENT);
    UINT flags = DT_EXPANDTABS;
    if (Flag(m, "WordWrap")) flags |= DT_WORDBREAK;
    if (!Flag(m, "ShowAccelChar", true)) flags |= DT_NOPREFIX;
    TextAlignment align = ParseTextAlignment(Ident(m, "Alignment"));
    flags |= align == TextAlignment::Center ? DT_CENTER : align == TextAlignment::Right ? DT_RIGHT : DT_LEFT;
    RECT text = r;
    if (!Is(m, "Layout", "tlTop")) {
        RECT measure = r;
        ::DrawTextW(dc, caption.c_str(), -1, &measure, flags | DT_CALCRECT);
        int height = measure.bottom - measure.top;
        text.top = Is(m, "Layout", "tlCenter") ? (r.bottom - height) / 2 : r.bottom - height;
    }
    if (::IsWindowEnabled(label.window())) {
        ::SetTextColor(dc, ColorRefOf(label.state().font.color));
    } else {
        // Disabled texts are engraved, as the toolkit draws them.
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNHIGHLIGHT));
        RECT shadow = text;
        ::OffsetRect(&shadow, 1, 1);
        ::DrawTextW(dc, caption.c_str(), -1, &shadow, flags);
        ::SetTextColor(dc, ::GetSysColor(COLOR_BTNSHADOW));
    }
    ::DrawTextW(dc, caption.c_str(), -1, &text, flags);
}

void DrawOwnerItem(Control& control, const DRAWITEMSTRUCT& item) {
    switch (control.controlClass()->kind) {
    case NativeKind::Label: PaintLabel(control, item.hDC); break;
    case NativeKind::CheckListBox: DrawCheckItem(control, item); break;
    case NativeKind::BmpButton: DrawBmpButton(control, item); break;
    default: break;
    }
}

void RegisterWindowClasses() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    WNDCLASSW wc = {};
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpfnWndProc = PanelProc;
    wc.lpszClassName = kPanelClass;
    ::RegisterClassW(&wc);
    wc.lpszClassName = kPlaceholderClass;
    ::RegisterClassW(&wc);
}

void ContainerMouseEvent(Control& container, UINT message, LPARAM lp) { ContainerMouse(container, message, lp); }

}  // namespace qv::toolkit::detail
