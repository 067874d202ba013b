#include "wizard/form_file.h"

#include <utility>

namespace qv {

FormError::FormError(std::size_t offset, const std::string& text)
    : std::runtime_error("Damaged form file at offset " + std::to_string(offset) + ": " + text), offset_(offset) {}

FormValue FormValue::Int(std::int64_t v) {
    FormValue value;
    value.kind = FormValueKind::Integer;
    value.integer = v;
    return value;
}

FormValue FormValue::Float(double v, FormValueKind kind) {
    FormValue value;
    value.kind = kind;
    value.number = kind == FormValueKind::Single ? double(float(v)) : v;
    return value;
}

FormValue FormValue::CurrencyUnits(std::int64_t tenThousandths) {
    FormValue value;
    value.kind = FormValueKind::Currency;
    value.integer = tenThousandths;
    return value;
}

FormValue FormValue::Str(std::string v) {
    FormValue value;
    value.kind = FormValueKind::String;
    value.text = std::move(v);
    return value;
}

FormValue FormValue::Wide(std::string utf8, FormValueKind kind) {
    FormValue value;
    value.kind = kind;
    value.text = std::move(utf8);
    return value;
}

FormValue FormValue::Ident(std::string v) {
    FormValue value;
    value.kind = FormValueKind::Identifier;
    value.text = std::move(v);
    return value;
}

FormValue FormValue::Bool(bool v) {
    FormValue value;
    value.kind = FormValueKind::Boolean;
    value.boolean = v;
    return value;
}

FormValue FormValue::SetOf(std::vector<std::string> members) {
    FormValue value;
    value.kind = FormValueKind::Set;
    value.members = std::move(members);
    return value;
}

FormValue FormValue::NilValue() {
    FormValue value;
    value.kind = FormValueKind::Nil;
    return value;
}

FormValue FormValue::BinaryData(std::string bytes) {
    FormValue value;
    value.kind = FormValueKind::Binary;
    value.bytes = std::move(bytes);
    return value;
}

FormValue FormValue::ListOf(std::vector<FormValue> items) {
    FormValue value;
    value.kind = FormValueKind::List;
    value.items = std::move(items);
    return value;
}

FormValue FormValue::CollectionOf(std::vector<FormCollectionItem> items) {
    FormValue value;
    value.kind = FormValueKind::Collection;
    value.collection = std::move(items);
    return value;
}

bool FormValue::isString() const {
    return kind == FormValueKind::String || kind == FormValueKind::WideString || kind == FormValueKind::Utf8String;
}

bool operator==(const FormValue& a, const FormValue& b) {
    return a.kind == b.kind && a.integer == b.integer && a.number == b.number && a.boolean == b.boolean &&
           a.text == b.text && a.bytes == b.bytes && a.members == b.members && a.items == b.items &&
           a.collection == b.collection;
}

bool operator==(const FormProperty& a, const FormProperty& b) { return a.name == b.name && a.value == b.value; }

bool operator==(const FormCollectionItem& a, const FormCollectionItem& b) {
    return a.order == b.order && a.properties == b.properties;
}

bool operator==(const FormObject& a, const FormObject& b) {
    return a.className == b.className && a.name == b.name && a.inherited == b.inherited &&
           a.isInline == b.isInline && a.childPosition == b.childPosition && a.properties == b.properties &&
           a.children == b.children;
}

}  // namespace qv
