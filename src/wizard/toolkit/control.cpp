// The controls' property interface: properties by name as text, over the
// model (the file's values with the class defaults) and the live window.
#include <algorithm>

#include "common/text.h"
#include "wizard/form_properties.h"
#include "wizard/toolkit/win_text.h"
#include "wizard/toolkit/window_layer.h"

namespace qv::toolkit {

namespace {

bool IsEventName(std::string_view name) {
    return name.size() > 2 && (name[0] == 'O' || name[0] == 'o') && (name[1] == 'n' || name[1] == 'N') &&
           name.find('.') == std::string_view::npos;
}

// The 8-bit text of a value the model holds in UTF-8 (wide kinds).
std::string ToScriptText(const FormValue& value, std::string text) {
    if (value.kind == FormValueKind::WideString || value.kind == FormValueKind::Utf8String)
        return WideToAnsi(Utf8ToWide(text));
    if (value.kind == FormValueKind::List && !value.items.empty() &&
        value.items.front().kind != FormValueKind::String)
        return WideToAnsi(Utf8ToWide(text));
    return text;
}

std::string FromScriptText(const FormValue& value, std::string_view text) {
    bool wide = value.kind == FormValueKind::WideString || value.kind == FormValueKind::Utf8String ||
                (value.kind == FormValueKind::List && !value.items.empty() &&
                 value.items.front().kind != FormValueKind::String);
    return wide ? WideToUtf8(AnsiToWide(text)) : std::string(text);
}

bool ShowsText(const Control& c) {
    const ControlClass* k = c.controlClass();
    if (!k) return false;
    switch (k->kind) {
    case NativeKind::Edit:
    case NativeKind::Memo:
    case NativeKind::RichEdit:
    case NativeKind::ComboBox:
    case NativeKind::ShellCombo: return true;
    default: return false;
    }
}

bool HoldsLines(const Control& c) {
    const ControlClass* k = c.controlClass();
    return k && (k->kind == NativeKind::Memo || k->kind == NativeKind::RichEdit);
}

}  // namespace

bool NameLess::operator()(const std::string& a, const std::string& b) const {
    return LowerAscii(a) < LowerAscii(b);
}

Control::Control(Page& page, Control* parent, FormObject model)
    : page_(&page), parent_(parent), model_(std::move(model)), class_(FindControlClass(model_.className)) {}

Control::~Control() {
    if (window_) ::DestroyWindow(window_);
}

bool Control::IsA(std::string_view className) const { return InheritsFrom(model_.className, className); }

// Lines and Items are the string lists "Lines.Strings" and "Items.Strings";
// a memo's Text is its lines as one text.
static std::string StoredName(const FormObject& model, std::string_view name) {
    if (FindProperty(model, name)) return std::string(name);
    std::string strings = std::string(name) + ".Strings";
    if (FindProperty(model, strings)) return strings;
    return std::string(name);
}

void Control::ReadBack(std::string_view name) const {
    if (window_) detail::ReadBackProperty(*this, model_, name);
}

std::optional<std::string> Control::Property(std::string_view name) const {
    if (HoldsLines(*this) && EqualsIgnoreCaseAscii(name, "Text")) {
        if (window_) return WideToAnsi(WindowText(window_));
        auto lines = PropertyText(model_, "Lines.Strings");
        return lines ? ToScriptText(FindProperty(model_, "Lines.Strings")->value, *lines) : std::string();
    }
    std::string stored = StoredName(model_, name);
    ReadBack(stored);
    const FormProperty* property = FindProperty(model_, stored);
    if (!property) return std::nullopt;
    auto text = PropertyText(model_, stored);
    return ToScriptText(property->value, *text);
}

void Control::SetProperty(std::string_view name, std::string_view text) {
    if (IsEventName(name)) {
        SetHandler(name, text);
        return;
    }
    if (HoldsLines(*this) && EqualsIgnoreCaseAscii(name, "Text")) {
        SetProperty("Lines", text);
        return;
    }
    std::string stored = StoredName(model_, name);
    ReadBack(stored);
    FormProperty* property = FindProperty(model_, stored);
    FormValue before = property ? property->value : FormValue();
    SetPropertyText(model_, stored, property ? FromScriptText(property->value, text) : std::string(text));
    try {
        detail::ApplyProperty(*this, stored);
    } catch (...) {
        if (property) {
            FindProperty(model_, stored)->value = before;
        } else {
            model_.properties.pop_back();
        }
        throw;
    }
}

std::vector<std::string> Control::PropertyNames() const {
    std::vector<std::string> names;
    for (const FormProperty& p : model_.properties) names.push_back(p.name);
    return names;
}

std::string Control::Text() const { return Property(ShowsText(*this) ? "Text" : "Caption").value_or(""); }

void Control::SetText(std::string_view text) { SetProperty(ShowsText(*this) ? "Text" : "Caption", text); }

int Control::Tag() const { return int(IntegerProperty(model_, "Tag")); }

std::string Control::Hint() const { return Property("Hint").value_or(""); }

bool Control::Checked() const { return Property("Checked").value_or("") == "True"; }

void Control::SetChecked(bool checked) { SetProperty("Checked", checked ? "True" : "False"); }

std::vector<std::string> Control::Items() const {
    return SplitLines(Property(HoldsLines(*this) ? "Lines" : "Items").value_or(""));
}

void Control::SetItems(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += item + "\r\n";
    SetProperty(HoldsLines(*this) ? "Lines" : "Items", text);
}

int Control::ItemIndex() const {
    auto text = Property("ItemIndex");
    return text ? std::atoi(text->c_str()) : -1;
}

void Control::SetItemIndex(int index) { SetProperty("ItemIndex", std::to_string(index)); }

bool Control::ItemChecked(int index) const {
    return index >= 0 && std::size_t(index) < state_.itemChecks.size() && state_.itemChecks[std::size_t(index)];
}

void Control::SetItemChecked(int index, bool checked) {
    if (index < 0) return;
    if (std::size_t(index) >= state_.itemChecks.size()) state_.itemChecks.resize(std::size_t(index) + 1);
    state_.itemChecks[std::size_t(index)] = checked;
    if (window_) ::InvalidateRect(window_, nullptr, FALSE);
}

HTREEITEM Control::AddNode(HTREEITEM parent, std::string_view text) {
    std::wstring wide = AnsiToWide(text);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = wide.data();
    return reinterpret_cast<HTREEITEM>(::SendMessageW(window_, TVM_INSERTITEMW, 0, LPARAM(&insert)));
}

void Control::ClearNodes() { ::SendMessageW(window_, TVM_DELETEITEM, 0, LPARAM(TVI_ROOT)); }

std::vector<HTREEITEM> Control::Nodes(HTREEITEM parent) const {
    std::vector<HTREEITEM> nodes;
    auto node = reinterpret_cast<HTREEITEM>(
        ::SendMessageW(window_, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, LPARAM(parent)));
    while (node) {
        nodes.push_back(node);
        node = reinterpret_cast<HTREEITEM>(::SendMessageW(window_, TVM_GETNEXTITEM, TVGN_NEXT, LPARAM(node)));
    }
    return nodes;
}

std::string Control::NodeText(HTREEITEM node) const {
    wchar_t buffer[1024] = {};
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = buffer;
    item.cchTextMax = 1024;
    ::SendMessageW(window_, TVM_GETITEMW, 0, LPARAM(&item));
    return WideToAnsi(buffer);
}

void Control::SetNodeText(HTREEITEM node, std::string_view text) {
    std::wstring wide = AnsiToWide(text);
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = node;
    item.pszText = wide.data();
    ::SendMessageW(window_, TVM_SETITEMW, 0, LPARAM(&item));
}

HTREEITEM Control::NodeParent(HTREEITEM node) const {
    return reinterpret_cast<HTREEITEM>(::SendMessageW(window_, TVM_GETNEXTITEM, TVGN_PARENT, LPARAM(node)));
}

HTREEITEM Control::SelectedNode() const {
    return reinterpret_cast<HTREEITEM>(::SendMessageW(window_, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

void Control::SelectNode(HTREEITEM node) { ::SendMessageW(window_, TVM_SELECTITEM, TVGN_CARET, LPARAM(node)); }

std::string Control::Handler(std::string_view event) const {
    const FormProperty* property = FindProperty(model_, event);
    return property && property->value.kind == FormValueKind::Identifier ? property->value.text : std::string();
}

void Control::SetHandler(std::string_view event, std::string_view handlerName) {
    if (!IsEventName(event)) throw FormError("\"" + std::string(event) + "\" is not an event");
    FormProperty* property = FindProperty(model_, event);
    if (handlerName.empty()) {
        if (property) property->value = FormValue::NilValue();
        return;
    }
    if (!page_->handlers().count(std::string(handlerName)))
        throw FormError("the page has no handler \"" + std::string(handlerName) + "\" for " + std::string(event) +
                        " of \"" + name() + "\"");
    if (property)
        property->value = FormValue::Ident(std::string(handlerName));
    else
        model_.properties.push_back({std::string(event), FormValue::Ident(std::string(handlerName))});
}

void Control::Fire(std::string_view event, Event details) {
    std::string handler = Handler(event);
    if (handler.empty()) return;
    auto found = page_->handlers().find(handler);
    if (found == page_->handlers().end()) return;
    details.name = std::string(event);
    try {
        found->second(*this, details);
    } catch (const std::exception& error) {
        page_->ReportError(error);
    }
}

}  // namespace qv::toolkit
