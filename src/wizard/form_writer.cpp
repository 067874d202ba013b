// Writes a tree as the binary form stream, choosing the encodings the
// toolkit's own writer chooses: the smallest integer width, short strings up
// to 255 bytes.
#include <cmath>
#include <cstring>

#include "common/text.h"
#include "wizard/form_file.h"
#include "wizard/form_numbers.h"
#include "wizard/form_unicode.h"

namespace qv {

namespace {

// Lengths in the file have 32 bits; only a 64-bit process can hold more.
bool FitsLength(std::size_t length) { return (std::uint64_t(length) >> 32) == 0; }

class FormWriter {
public:
    std::string out;

    void Object(const FormObject& object, int depth) {
        Enter(depth, "object " + object.name);
        // A class name of 240 bytes or more has a length byte that reads as
        // flags, so it needs a flags byte before it even without flags.
        if (object.inherited || object.isInline || object.childPosition || object.className.size() >= 0xF0) {
            unsigned char flags = 0xF0;
            if (object.inherited) flags |= 0x01;
            if (object.childPosition) flags |= 0x02;
            if (object.isInline) flags |= 0x04;
            out += char(flags);
            if (object.childPosition) Integer(*object.childPosition);
        }
        if (object.className.empty()) throw FormError("object \"" + object.name + "\" has no class name");
        ShortString(object.className, "the class name of \"" + object.name + "\"");
        ShortString(object.name, "the object name \"" + object.name + "\"");
        Properties(object.properties, depth);
        for (const FormObject& child : object.children) Object(child, depth + 1);
        out += '\0';
    }

private:
    static void Enter(int depth, const std::string& where) {
        if (depth > kMaxFormNesting)
            throw FormError(where + " nests deeper than " + std::to_string(kMaxFormNesting) + " levels");
    }

    void Unsigned(std::uint64_t value, int size) {
        for (int i = 0; i < size; ++i) out += char((value >> (8 * i)) & 0xFF);
    }

    void Length(std::size_t length, const std::string& what) {
        if (!FitsLength(length)) throw FormError(what + " is longer than 4 GiB");
        Unsigned(length, 4);
    }

    void ShortString(const std::string& text, const std::string& what) {
        if (text.size() > 255) throw FormError(what + " is longer than 255 bytes");
        out += char(text.size());
        out += text;
    }

    void Integer(std::int64_t value) {
        if (value >= -128 && value <= 127) {
            out += '\x02';
            Unsigned(std::uint64_t(value), 1);
        } else if (value >= -32768 && value <= 32767) {
            out += '\x03';
            Unsigned(std::uint64_t(value), 2);
        } else if (value >= INT32_MIN && value <= INT32_MAX) {
            out += '\x04';
            Unsigned(std::uint64_t(value), 4);
        } else {
            out += '\x13';
            Unsigned(std::uint64_t(value), 8);
        }
    }

    void Properties(const std::vector<FormProperty>& properties, int depth) {
        for (const FormProperty& property : properties) {
            if (property.name.empty()) throw FormError("a property has an empty name");
            ShortString(property.name, "the property name \"" + property.name + "\"");
            Value(property.value, property.name, depth);
        }
        out += '\0';
    }

    void Finite(double number, const std::string& property) {
        if (!std::isfinite(number)) throw FormError("the float of \"" + property + "\" is not a finite number");
    }

    void Value(const FormValue& value, const std::string& property, int depth) {
        switch (value.kind) {
        case FormValueKind::Null: throw FormError("\"" + property + "\" has no value");
        case FormValueKind::List:
            Enter(depth + 1, "the list of \"" + property + "\"");
            out += '\x01';
            for (const FormValue& item : value.items) Value(item, property, depth + 1);
            out += '\0';
            return;
        case FormValueKind::Integer: Integer(value.integer); return;
        case FormValueKind::Extended: {
            Finite(value.number, property);
            unsigned char bytes[10];
            DoubleToExtended(value.number, bytes);
            out += '\x05';
            out.append(reinterpret_cast<const char*>(bytes), 10);
            return;
        }
        case FormValueKind::Single: {
            Finite(value.number, property);
            float single = float(value.number);
            if (!std::isfinite(single)) throw FormError("the float of \"" + property + "\" does not fit a single");
            std::uint32_t bits;
            std::memcpy(&bits, &single, 4);
            out += '\x0F';
            Unsigned(bits, 4);
            return;
        }
        case FormValueKind::Currency:
            out += '\x10';
            Unsigned(std::uint64_t(value.integer), 8);
            return;
        case FormValueKind::Date: {
            Finite(value.number, property);
            std::uint64_t bits;
            std::memcpy(&bits, &value.number, 8);
            out += '\x11';
            Unsigned(bits, 8);
            return;
        }
        case FormValueKind::String:
            if (value.text.size() <= 255) {
                out += '\x06';
                ShortString(value.text, "");
            } else {
                out += '\x0C';
                Length(value.text.size(), "the string of \"" + property + "\"");
                out += value.text;
            }
            return;
        case FormValueKind::WideString: {
            auto units = Utf8ToUtf16(value.text);
            if (!units) throw FormError("the wide string of \"" + property + "\" is not UTF-8");
            out += '\x12';
            Length(units->size(), "the wide string of \"" + property + "\"");
            for (char16_t unit : *units) Unsigned(unit, 2);
            return;
        }
        case FormValueKind::Utf8String:
            if (!IsValidUtf8(value.text)) throw FormError("the UTF-8 string of \"" + property + "\" is not UTF-8");
            out += '\x14';
            Length(value.text.size(), "the UTF-8 string of \"" + property + "\"");
            out += value.text;
            return;
        case FormValueKind::Identifier:
            out += '\x07';
            ShortString(value.text, "the identifier of \"" + property + "\"");
            return;
        case FormValueKind::Boolean: out += value.boolean ? '\x09' : '\x08'; return;
        case FormValueKind::Set:
            out += '\x0B';
            for (const std::string& member : value.members) {
                if (member.empty()) throw FormError("the set of \"" + property + "\" has an empty member");
                ShortString(member, "a set member of \"" + property + "\"");
            }
            out += '\0';
            return;
        case FormValueKind::Nil: out += '\x0D'; return;
        case FormValueKind::Binary:
            out += '\x0A';
            Length(value.bytes.size(), "the binary data of \"" + property + "\"");
            out += value.bytes;
            return;
        case FormValueKind::Collection:
            Enter(depth + 1, "the collection of \"" + property + "\"");
            out += '\x0E';
            for (const FormCollectionItem& item : value.collection) {
                if (item.order) Integer(*item.order);
                out += '\x01';
                Properties(item.properties, depth + 1);
            }
            out += '\0';
            return;
        }
    }
};

}  // namespace

std::string WriteForm(const FormObject& root) {
    FormWriter writer;
    writer.out = "TPF0";
    writer.Object(root, 1);
    return writer.out;
}

std::string WriteFormResource(const FormObject& root) {
    std::string stream = WriteForm(root);
    // The name ends at a zero byte, and a leading FF marks a numbered resource.
    if (root.className.find('\0') != std::string::npos || root.className[0] == '\xFF')
        throw FormError("the class name of \"" + root.name + "\" cannot name a resource");
    if (!FitsLength(stream.size())) throw FormError("the form is longer than 4 GiB");
    std::string out = "\xFF\x0A";
    out += '\0';
    out += UpperAscii(root.className);
    out += '\0';
    out += "\x30\x10";
    for (int i = 0; i < 4; ++i) out += char((stream.size() >> (8 * i)) & 0xFF);
    return out + stream;
}

}  // namespace qv
