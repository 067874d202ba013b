// The text form of a tree, for diagnostics and round trips through the kit's
// compiler.
#include <string>
#include <vector>

#include "wizard/form_file.h"
#include "wizard/form_numbers.h"
#include "wizard/form_unicode.h"

namespace qv {

namespace {

// Long strings are cut into pieces of this many characters joined by " +".
constexpr std::size_t kStringPiece = 64;
// Binary data is written as this many bytes (twice as many digits) a line.
constexpr std::size_t kBinaryLine = 32;

std::string Indent(int level) { return std::string(std::size_t(level) * 2, ' '); }

unsigned Unit(char c) { return static_cast<unsigned char>(c); }
unsigned Unit(char16_t u) { return u; }

// A string as quoted pieces and #n codes: `units` are bytes of an 8-bit
// string or UTF-16 units of a wide one.
template <typename Units>
std::string QuotedText(const Units& units, int level) {
    if (units.empty()) return "''";
    std::string out;
    bool quoted = false;
    for (std::size_t i = 0; i < units.size(); ++i) {
        if (i > 0 && i % kStringPiece == 0) {
            if (quoted) out += '\'';
            quoted = false;
            out += " +\n" + Indent(level + 1);
        }
        unsigned unit = Unit(units[i]);
        if (unit >= 32 && unit < 127) {
            if (!quoted) out += '\'';
            quoted = true;
            out += char(unit);
            if (unit == '\'') out += '\'';
        } else {
            if (quoted) out += '\'';
            quoted = false;
            out += '#' + std::to_string(unit);
        }
    }
    if (quoted) out += '\'';
    return out;
}

// A float as a number the compiler reads back as a float, not an integer.
std::string FloatToken(std::string text) {
    if (text.find_first_of(".e") == std::string::npos) text += ".0";
    return text;
}

void AppendValue(std::string& out, const FormValue& value, int level);

void AppendProperties(std::string& out, const std::vector<FormProperty>& properties, int level) {
    for (const FormProperty& property : properties) {
        out += Indent(level) + property.name + " = ";
        AppendValue(out, property.value, level);
        out += '\n';
    }
}

void AppendValue(std::string& out, const FormValue& value, int level) {
    switch (value.kind) {
    case FormValueKind::Null: out += "Null"; return;
    case FormValueKind::List:
        out += '(';
        for (const FormValue& item : value.items) {
            out += '\n' + Indent(level + 1);
            AppendValue(out, item, level + 1);
        }
        out += ')';
        return;
    case FormValueKind::Integer: out += std::to_string(value.integer); return;
    case FormValueKind::Extended: out += FloatToken(FloatText(value.number)); return;
    case FormValueKind::Single: out += FloatToken(SingleText(float(value.number))) + 's'; return;
    case FormValueKind::Currency: out += FloatToken(CurrencyText(value.integer)) + 'c'; return;
    case FormValueKind::Date: out += FloatToken(FloatText(value.number)) + 'd'; return;
    case FormValueKind::String: out += QuotedText(value.text, level); return;
    case FormValueKind::WideString:
    case FormValueKind::Utf8String: {
        auto units = Utf8ToUtf16(value.text);
        out += units ? QuotedText(*units, level) : QuotedText(value.text, level);
        return;
    }
    case FormValueKind::Identifier: out += value.text; return;
    case FormValueKind::Boolean: out += value.boolean ? "True" : "False"; return;
    case FormValueKind::Set:
        out += '[';
        for (std::size_t i = 0; i < value.members.size(); ++i) out += (i ? ", " : "") + value.members[i];
        out += ']';
        return;
    case FormValueKind::Nil: out += "nil"; return;
    case FormValueKind::Binary: {
        static const char kDigits[] = "0123456789ABCDEF";
        out += '{';
        for (std::size_t i = 0; i < value.bytes.size(); ++i) {
            if (i % kBinaryLine == 0) out += '\n' + Indent(level + 1);
            unsigned char b = static_cast<unsigned char>(value.bytes[i]);
            out += kDigits[b >> 4];
            out += kDigits[b & 15];
        }
        out += '}';
        return;
    }
    case FormValueKind::Collection:
        out += '<';
        for (const FormCollectionItem& item : value.collection) {
            out += '\n' + Indent(level + 1) + "item";
            if (item.order) out += " [" + std::to_string(*item.order) + "]";
            out += '\n';
            AppendProperties(out, item.properties, level + 2);
            out += Indent(level + 1) + "end";
        }
        out += '>';
        return;
    }
}

void AppendObject(std::string& out, const FormObject& object, int level) {
    out += Indent(level) + (object.inherited ? "inherited " : object.isInline ? "inline " : "object ");
    out += object.name.empty() ? object.className : object.name + ": " + object.className;
    if (object.childPosition) out += " [" + std::to_string(*object.childPosition) + "]";
    out += '\n';
    AppendProperties(out, object.properties, level + 1);
    for (const FormObject& child : object.children) AppendObject(out, child, level + 1);
    out += Indent(level) + "end\n";
}

}  // namespace

std::string FormToText(const FormObject& root) {
    std::string out;
    AppendObject(out, root, 0);
    return out;
}

std::string FormValueText(const FormValue& value) {
    std::string out;
    AppendValue(out, value, 0);
    return out;
}

}  // namespace qv
