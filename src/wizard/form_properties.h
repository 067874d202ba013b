// What the page host asks of a dialog file's tree: properties by name, typed
// reads, the components in their order, and the property text interface of
// the dialog rules.
//
// Property and component names compare with ASCII letter case ignored; a
// dotted name such as "Font.Name" is one property, found as written. A file
// leaves out properties that hold their default value, so an absent property
// answers the caller's fallback; a property of another kind than asked for is
// a FormError naming the object, the property and both kinds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "wizard/form_file.h"

namespace qv {

// "integer", "wide string", ... for messages.
const char* FormValueKindName(FormValueKind kind);

const FormProperty* FindProperty(const FormObject& object, std::string_view name);
FormProperty* FindProperty(FormObject& object, std::string_view name);

std::int64_t IntegerProperty(const FormObject& object, std::string_view name, std::int64_t fallback = 0);
bool BoolProperty(const FormObject& object, std::string_view name, bool fallback = false);
// Any string kind: the bytes of an 8-bit string, the UTF-8 text of a wide or
// UTF-8 string (FindProperty tells which).
std::string StringProperty(const FormObject& object, std::string_view name, std::string_view fallback = {});
std::string IdentifierProperty(const FormObject& object, std::string_view name, std::string_view fallback = {});
std::vector<std::string> SetMembersProperty(const FormObject& object, std::string_view name);
// A string list such as Lines or Items, stored as "Lines.Strings": either
// name finds it. Absent gives an empty list; every item must be a string.
std::vector<std::string> StringListProperty(const FormObject& object, std::string_view name);

// Every object below the root, in the order the file holds them (a parent
// before its children): the order in which the page creates its components.
// The pointers stay valid while no object's children change.
std::vector<const FormObject*> Components(const FormObject& root);
std::vector<FormObject*> Components(FormObject& root);
// The first of those with this Name; none when there is none.
const FormObject* FindComponent(const FormObject& root, std::string_view name);
FormObject* FindComponent(FormObject& root, std::string_view name);

// The text of a property as the rules compare it; none when the object has
// no such property. Integers in decimal; floats as the shortest decimal that
// reads back the same ("0.1"), currency with at most four places; strings as
// they are (8-bit bytes, UTF-8 for wide kinds); identifiers as written;
// "True"/"False"; nil as empty text; sets as "[a,b]"; a list of strings as
// its lines, each ended by CR LF; other lists, binary data and collections
// as in the text form.
std::optional<std::string> PropertyText(const FormObject& object, std::string_view name);

// Sets a property from its text, keeping the kind it has: integers take
// decimal or $hex, floats and currency decimals, booleans "True"/"False" in
// any letter case, identifiers an identifier (the empty text gives nil, and
// nil takes an identifier), sets "[a, b]", string lists one item per line
// (CR LF, CR or LF), wide kinds UTF-8. A text that does not fit, or a kind
// with no text form (binary data, collections, lists of other values), is a
// FormError; the property is then left as it was. An absent property is
// added: Checked, Enabled, Visible and the other flags the page reads as
// booleans; Left, Top, Width, Height, Tag, MaxLength, Position, TabOrder and
// the like as integers; any other name as an 8-bit string.
void SetPropertyText(FormObject& object, std::string_view name, std::string_view text);

}  // namespace qv
