// Between the controls' property interface and their windows: creating the
// native window of a control, showing a property's value in it, reading
// back what the user changed, painting the controls the page draws itself,
// and filling the file and shell controls. Internal to the toolkit.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "wizard/toolkit/page.h"

namespace qv::toolkit::detail {

// The window a child of `control` is made in (the control itself for
// containers, otherwise its nearest container ancestor or the page).
HWND ContainerWindow(const Control* control, const Page& page);

// Makes the control's window (none for painted and non-visual kinds).
HWND CreateControlWindow(Control& control, HWND parent, const RECT& rect, int id);
// Shows the model's value of a property in the window; an empty name
// shows all of them (after creation).
void ApplyProperty(Control& control, std::string_view name);
// Copies what the user may have changed from the window into the model.
void ReadBackProperty(const Control& control, FormObject& model, std::string_view name);
// Font, colour and brush from the model (and the parent's), for the
// control and every child that follows it.
void UpdateAppearance(Control& control);

COLORREF ColorRefOf(const Color& color);

// Painted controls (images, shapes, bevels, gauges, form shapes) are drawn
// by their container over its background; labels draw the same background
// behind transparent text.
bool IsPainted(const Control& control);
void PaintContainer(Control& container, HDC dc, const RECT& clip);
// The topmost visible painted child of `container` at the point.
Control* PaintedAt(Control& container, POINT point);
void PaintLabel(Control& label, HDC dc);
// Mouse-button releases over a container: clicks of its painted controls.
void ContainerMouseEvent(Control& container, UINT message, LPARAM lp);
void DrawOwnerItem(Control& control, const DRAWITEMSTRUCT& item);
void RegisterWindowClasses();
extern const wchar_t kPanelClass[];
extern const wchar_t kPlaceholderClass[];

// A notification of the control's window (WM_COMMAND code, WM_NOTIFY, a
// scroll message): updates the model and fires the control's events.
LRESULT Command(Control& control, int code);
LRESULT Notify(Control& control, NMHDR& header, bool& handled);
void Scrolled(Control& control, int code);

// The file and shell controls.
void FillFileControl(Control& control);
// The path the control's selection names ("" when none).
std::string SelectedPath(const Control& control);
// The path stored for an item's index (or a tree node's parameter).
std::string ItemPathOf(const Control& control, LPARAM index);
void ExpandShellNode(Control& control, HTREEITEM node);

// The radio buttons of one parent form a group: checking one clears the
// others.
void CheckRadio(Control& radio);

// The screen rectangle of a control relative to its container window.
RECT PlacedRect(const Control& control);

}  // namespace qv::toolkit::detail
