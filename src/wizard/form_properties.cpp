#include "wizard/form_properties.h"

#include <algorithm>
#include <cmath>

#include "common/text.h"
#include "wizard/form_numbers.h"
#include "wizard/form_unicode.h"

namespace qv {

namespace {

// Properties of the controls the page reads whose kind is known even when a
// file leaves them out.
const char* const kBooleanProperties[] = {
    "AutoSize", "Cancel", "Checked", "Default", "Enabled", "MultiSelect", "ParentColor", "ParentFont",
    "ParentShowHint", "ReadOnly", "ShowHint", "Sorted", "TabStop", "Transparent", "Visible", "WordWrap",
};
const char* const kIntegerProperties[] = {
    "ClientHeight", "ClientWidth", "Height", "HelpContext", "ItemIndex", "Left", "Max", "MaxLength",
    "Min", "Position", "TabOrder", "Tag", "Top", "Width",
};

template <std::size_t N>
bool Listed(const char* const (&names)[N], std::string_view name) {
    return std::any_of(std::begin(names), std::end(names),
                       [&](const char* listed) { return EqualsIgnoreCaseAscii(listed, name); });
}

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

[[noreturn]] void WrongKind(const FormObject& object, const FormProperty& property, const char* wanted) {
    throw FormError("property " + Quoted(property.name) + " of " + Quoted(object.name) + " is " +
                    FormValueKindName(property.value.kind) + ", not " + wanted);
}

const FormValue* Expect(const FormObject& object, std::string_view name, FormValueKind kind, const char* wanted) {
    const FormProperty* property = FindProperty(object, name);
    if (!property) return nullptr;
    if (property->value.kind != kind) WrongKind(object, *property, wanted);
    return &property->value;
}

bool IsIdentifier(std::string_view text) {
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (text.empty() || text.size() > 255) return false;
    bool start = true;
    for (char c : text) {
        if (c == '.') {
            if (start) return false;
            start = true;
        } else if (letter(c) || (!start && digit(c))) {
            start = false;
        } else {
            return false;
        }
    }
    return !start;
}

bool IsStringList(const FormValue& value) {
    return value.kind == FormValueKind::List &&
           std::all_of(value.items.begin(), value.items.end(), [](const FormValue& item) { return item.isString(); });
}

template <typename Object>
void Collect(Object& object, std::vector<Object*>& out) {
    for (auto& child : object.children) {
        out.push_back(&child);
        Collect(child, out);
    }
}

[[noreturn]] void NotValid(std::string_view text, const char* what) {
    throw FormError("'" + std::string(text) + "' is not a valid " + what);
}

// The new value for `current` (same kind) from text; FormError when the text
// does not fit.
FormValue FromText(const FormObject& object, const FormProperty& property, std::string_view text) {
    const FormValue& current = property.value;
    switch (current.kind) {
    case FormValueKind::Integer: {
        auto value = ParseIntegerText(text);
        if (!value) NotValid(text, "integer value");
        return FormValue::Int(*value);
    }
    case FormValueKind::Extended:
    case FormValueKind::Date:
    case FormValueKind::Single: {
        auto value = ParseFloatText(text);
        if (!value || (current.kind == FormValueKind::Single && !std::isfinite(float(*value))))
            NotValid(text, "floating point value");
        return FormValue::Float(*value, current.kind);
    }
    case FormValueKind::Currency: {
        auto value = ParseCurrencyText(text);
        if (!value) NotValid(text, "currency value");
        return FormValue::CurrencyUnits(*value);
    }
    case FormValueKind::Null:
    case FormValueKind::String: return FormValue::Str(std::string(text));
    case FormValueKind::WideString:
        if (!Utf8ToUtf16(text)) NotValid(text, "UTF-8 text");
        return FormValue::Wide(std::string(text));
    case FormValueKind::Utf8String:
        if (!IsValidUtf8(text)) NotValid(text, "UTF-8 text");
        return FormValue::Wide(std::string(text), FormValueKind::Utf8String);
    case FormValueKind::Identifier:
    case FormValueKind::Nil:
        if (text.empty()) return FormValue::NilValue();
        if (!IsIdentifier(text)) NotValid(text, "identifier");
        return FormValue::Ident(std::string(text));
    case FormValueKind::Boolean:
        if (EqualsIgnoreCaseAscii(text, "True")) return FormValue::Bool(true);
        if (EqualsIgnoreCaseAscii(text, "False")) return FormValue::Bool(false);
        NotValid(text, "boolean value");
    case FormValueKind::Set: {
        std::string inner = Trim(text);
        if (inner.size() < 2 || inner.front() != '[' || inner.back() != ']') NotValid(text, "set value");
        inner = Trim(std::string_view(inner).substr(1, inner.size() - 2));
        std::vector<std::string> members;
        std::size_t start = 0;
        while (!inner.empty()) {
            std::size_t comma = inner.find(',', start);
            std::string member = Trim(std::string_view(inner).substr(start, comma - start));
            if (!IsIdentifier(member)) NotValid(text, "set value");
            members.push_back(member);
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        return FormValue::SetOf(std::move(members));
    }
    case FormValueKind::List:
        if (IsStringList(current)) {
            FormValueKind itemKind = current.items.empty() ? FormValueKind::String : current.items.front().kind;
            std::vector<FormValue> items;
            for (std::string& line : SplitLines(text)) {
                FormProperty item{property.name, FormValue()};
                item.value.kind = itemKind;
                items.push_back(FromText(object, item, line));
            }
            return FormValue::ListOf(std::move(items));
        }
        break;
    case FormValueKind::Binary:
    case FormValueKind::Collection: break;
    }
    throw FormError("property " + Quoted(property.name) + " of " + Quoted(object.name) + " is " +
                    FormValueKindName(current.kind) + " and cannot be set from text");
}

}  // namespace

const char* FormValueKindName(FormValueKind kind) {
    switch (kind) {
    case FormValueKind::Null: return "no value";
    case FormValueKind::List: return "a list";
    case FormValueKind::Integer: return "an integer";
    case FormValueKind::Extended: return "an extended float";
    case FormValueKind::Single: return "a single float";
    case FormValueKind::Currency: return "a currency value";
    case FormValueKind::Date: return "a date";
    case FormValueKind::String: return "a string";
    case FormValueKind::WideString: return "a wide string";
    case FormValueKind::Utf8String: return "a UTF-8 string";
    case FormValueKind::Identifier: return "an identifier";
    case FormValueKind::Boolean: return "a boolean";
    case FormValueKind::Set: return "a set";
    case FormValueKind::Nil: return "nil";
    case FormValueKind::Binary: return "binary data";
    case FormValueKind::Collection: return "a collection";
    }
    return "an unknown kind";
}

const FormProperty* FindProperty(const FormObject& object, std::string_view name) {
    for (const FormProperty& property : object.properties)
        if (EqualsIgnoreCaseAscii(property.name, name)) return &property;
    return nullptr;
}

FormProperty* FindProperty(FormObject& object, std::string_view name) {
    return const_cast<FormProperty*>(FindProperty(static_cast<const FormObject&>(object), name));
}

std::int64_t IntegerProperty(const FormObject& object, std::string_view name, std::int64_t fallback) {
    const FormValue* value = Expect(object, name, FormValueKind::Integer, "an integer");
    return value ? value->integer : fallback;
}

bool BoolProperty(const FormObject& object, std::string_view name, bool fallback) {
    const FormValue* value = Expect(object, name, FormValueKind::Boolean, "a boolean");
    return value ? value->boolean : fallback;
}

std::string StringProperty(const FormObject& object, std::string_view name, std::string_view fallback) {
    const FormProperty* property = FindProperty(object, name);
    if (!property) return std::string(fallback);
    if (!property->value.isString()) WrongKind(object, *property, "a string");
    return property->value.text;
}

std::string IdentifierProperty(const FormObject& object, std::string_view name, std::string_view fallback) {
    const FormValue* value = Expect(object, name, FormValueKind::Identifier, "an identifier");
    return value ? value->text : std::string(fallback);
}

std::vector<std::string> SetMembersProperty(const FormObject& object, std::string_view name) {
    const FormValue* value = Expect(object, name, FormValueKind::Set, "a set");
    return value ? value->members : std::vector<std::string>();
}

std::vector<std::string> StringListProperty(const FormObject& object, std::string_view name) {
    const FormProperty* property = FindProperty(object, name);
    if (!property && !EndsWith(LowerAscii(name), ".strings"))
        property = FindProperty(object, std::string(name) + ".Strings");
    if (!property) return {};
    if (!IsStringList(property->value)) WrongKind(object, *property, "a list of strings");
    std::vector<std::string> lines;
    for (const FormValue& item : property->value.items) lines.push_back(item.text);
    return lines;
}

std::vector<const FormObject*> Components(const FormObject& root) {
    std::vector<const FormObject*> out;
    Collect(root, out);
    return out;
}

std::vector<FormObject*> Components(FormObject& root) {
    std::vector<FormObject*> out;
    Collect(root, out);
    return out;
}

const FormObject* FindComponent(const FormObject& root, std::string_view name) {
    for (const FormObject* object : Components(root))
        if (EqualsIgnoreCaseAscii(object->name, name)) return object;
    return nullptr;
}

FormObject* FindComponent(FormObject& root, std::string_view name) {
    return const_cast<FormObject*>(FindComponent(static_cast<const FormObject&>(root), name));
}

std::optional<std::string> PropertyText(const FormObject& object, std::string_view name) {
    const FormProperty* property = FindProperty(object, name);
    if (!property) return std::nullopt;
    const FormValue& value = property->value;
    switch (value.kind) {
    case FormValueKind::Null:
    case FormValueKind::Nil: return std::string();
    case FormValueKind::Integer: return std::to_string(value.integer);
    case FormValueKind::Extended:
    case FormValueKind::Date: return FloatText(value.number);
    case FormValueKind::Single: return SingleText(float(value.number));
    case FormValueKind::Currency: return CurrencyText(value.integer);
    case FormValueKind::String:
    case FormValueKind::WideString:
    case FormValueKind::Utf8String:
    case FormValueKind::Identifier: return value.text;
    case FormValueKind::Boolean: return std::string(value.boolean ? "True" : "False");
    case FormValueKind::Set: {
        std::string text = "[";
        for (std::size_t i = 0; i < value.members.size(); ++i) text += (i ? "," : "") + value.members[i];
        return text + "]";
    }
    case FormValueKind::List:
        if (IsStringList(value)) {
            std::string text;
            for (const FormValue& item : value.items) text += item.text + "\r\n";
            return text;
        }
        return FormValueText(value);
    case FormValueKind::Binary:
    case FormValueKind::Collection: return FormValueText(value);
    }
    return std::string();
}

void SetPropertyText(FormObject& object, std::string_view name, std::string_view text) {
    if (FormProperty* property = FindProperty(object, name)) {
        property->value = FromText(object, *property, text);
        return;
    }
    if (name.empty() || name.size() > 255)
        throw FormError("a property name must have 1 to 255 characters: " + Quoted(name));
    FormProperty added{std::string(name), FormValue()};
    if (Listed(kBooleanProperties, name))
        added.value = FormValue::Bool(false);
    else if (Listed(kIntegerProperties, name))
        added.value = FormValue::Int(0);
    added.value = FromText(object, added, text);
    object.properties.push_back(std::move(added));
}

}  // namespace qv
