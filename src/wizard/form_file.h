// Dialog files: the binary form-file format of the form toolkit, as a tree.
//
// A file is an optional 16-bit resource header followed by the stream:
//
//   header  FF 0A 00            resource type 10 (RCDATA) as an ordinal
//           NAME 00             upper-cased root class name (or FF + ordinal)
//           30 10               memory flags
//           size (32-bit)       length of the stream that follows
//   stream  "TPF0" object
//   object  [flags] class name  flags: high nibble F, low bits inherited 1,
//           object name          child position 2 (an integer value follows),
//           property* 00         inline 4; names are short strings (length
//           object* 00           byte + bytes)
//   property  name (short string, may be dotted: "Font.Name"), typed value
//
// Value types (first byte): 1 list (values until a 00), 2/3/4/19 integer of
// 8/16/32/64 bits, 5 extended (10-byte x87 float), 6 short string, 7
// identifier, 8 false, 9 true, 10 binary (32-bit length), 11 set (short
// strings until an empty one), 12 long string (32-bit length), 13 nil, 14
// collection, 15 single, 16 currency (64-bit, units of 1/10000), 17 date
// (double), 18 wide string (32-bit count of UTF-16 units), 20 UTF-8 string
// (32-bit length). A collection holds items until a 00; an item is an
// optional integer order value, a list start (01), properties, 00.
// All numbers are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// A dialog file that cannot be read, or a value that cannot be converted.
class FormError : public std::runtime_error {
public:
    explicit FormError(const std::string& text) : std::runtime_error(text) {}
    // "Damaged form file at offset N: " + text.
    FormError(std::size_t offset, const std::string& text);
    // Where in the file reading failed, when the error comes from reading.
    std::optional<std::size_t> offset() const { return offset_; }

private:
    std::optional<std::size_t> offset_;
};

enum class FormValueKind {
    Null,        // no value: what a default-made value holds; never in a file
    List,        // items
    Integer,     // integer (written in the smallest of 8/16/32/64 bits)
    Extended,    // number
    Single,      // number (a 32-bit float widened)
    Currency,    // integer, in units of 1/10000
    Date,        // number (days since 30 December 1899)
    String,      // text: 8-bit bytes in the system code page
    WideString,  // text: UTF-8 (an unpaired UTF-16 surrogate keeps its 3-byte form)
    Utf8String,  // text: UTF-8
    Identifier,  // text: an enumeration value or a component reference
    Boolean,     // boolean
    Set,         // members
    Nil,         // no component
    Binary,      // bytes
    Collection,  // collection
};

struct FormProperty;

struct FormCollectionItem {
    std::optional<std::int64_t> order;
    std::vector<FormProperty> properties;
};

// One value: `kind` says which field holds it (the word after each kind
// above); the factories fill that field and leave the others empty.
struct FormValue {
    FormValueKind kind = FormValueKind::Null;
    std::int64_t integer = 0;
    double number = 0;
    bool boolean = false;
    std::string text;
    std::string bytes;
    std::vector<std::string> members;
    std::vector<FormValue> items;
    std::vector<FormCollectionItem> collection;

    static FormValue Int(std::int64_t v);
    // Extended, Single (rounded to 32 bits) or Date.
    static FormValue Float(double v, FormValueKind kind = FormValueKind::Extended);
    static FormValue CurrencyUnits(std::int64_t tenThousandths);
    static FormValue Str(std::string v);   // 8-bit string
    static FormValue Wide(std::string utf8, FormValueKind kind = FormValueKind::WideString);
    static FormValue Ident(std::string v);
    static FormValue Bool(bool v);
    static FormValue SetOf(std::vector<std::string> members);
    static FormValue NilValue();
    static FormValue BinaryData(std::string bytes);
    static FormValue ListOf(std::vector<FormValue> items);
    static FormValue CollectionOf(std::vector<FormCollectionItem> items);

    // String, WideString or Utf8String.
    bool isString() const;
};

struct FormProperty {
    std::string name;
    FormValue value;
};

struct FormObject {
    std::string className;
    std::string name;
    std::vector<FormProperty> properties;
    std::vector<FormObject> children;
    // The object flags; the text form shows "inherited" when both are set.
    bool inherited = false;
    bool isInline = false;
    std::optional<std::int64_t> childPosition;
};

bool operator==(const FormValue& a, const FormValue& b);
bool operator==(const FormProperty& a, const FormProperty& b);
bool operator==(const FormCollectionItem& a, const FormCollectionItem& b);
bool operator==(const FormObject& a, const FormObject& b);
inline bool operator!=(const FormValue& a, const FormValue& b) { return !(a == b); }
inline bool operator!=(const FormObject& a, const FormObject& b) { return !(a == b); }

// Objects, lists and collections nest at most this deep; a deeper file is
// refused rather than read with unbounded recursion.
inline constexpr int kMaxFormNesting = 64;

// Reads a dialog file, with or without the resource header. Bytes after the
// root object are ignored. Throws FormError naming the offset and what was
// expected. Floats that are not finite, or do not fit a double, are refused.
FormObject ReadForm(std::string_view bytes);

// The stream ("TPF0" ...) for a tree. Integers take the smallest width that
// holds them, 8-bit strings over 255 bytes become long strings. Throws
// FormError for what the format cannot hold (an empty class name or property
// name, a short string over 255 bytes, an empty set member, a Null value).
std::string WriteForm(const FormObject& root);

// The stream behind a resource header named after the root's class name,
// upper-cased, as the toolkit saves dialog files. A class name holding a zero
// byte or starting with byte FF cannot name the resource (FormError).
std::string WriteFormResource(const FormObject& root);

// The text form ("object Name: TClass" ... "end"), two blanks per level.
// Strings are quoted, with #n codes for control characters, for bytes of
// 8-bit strings from 128 up and for UTF-16 units of wide strings from 128 up.
// What the text form cannot tell apart reads back as the compiler chooses:
// integer widths, short or long 8-bit strings, wide or UTF-8 strings, and
// 8-bit strings with bytes from 128 up (they come back as wide strings).
std::string FormToText(const FormObject& root);

// One value as it appears after "Name = " in the text form.
std::string FormValueText(const FormValue& value);

}  // namespace qv
