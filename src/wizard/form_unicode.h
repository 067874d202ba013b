// UTF-8 and UTF-16 for the string kinds of dialog files.
//
// Wide strings in a file are UTF-16 and may hold an unpaired surrogate; the
// tree keeps such a unit in its 3-byte UTF-8 form so that writing the tree
// back gives the same units.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qv {

std::string Utf16ToUtf8(std::u16string_view units);

// Answers nothing for bytes that are not UTF-8 (overlong forms, code points
// above U+10FFFF, cut-off sequences); 3-byte surrogate forms are accepted.
std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8);

// Strict UTF-8: as above, but without surrogate forms.
bool IsValidUtf8(std::string_view bytes);

}  // namespace qv
