// Texts between the page's properties and the windows: windows are made
// with the wide calls; 8-bit property texts are in the system's code page,
// wide ones in UTF-8 (as the dialog-file tree holds them).
#pragma once

#include <string>
#include <string_view>

#include "wizard/form_file.h"

namespace qv::toolkit {

std::wstring AnsiToWide(std::string_view text);
std::string WideToAnsi(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);

// A string value of the tree as the window shows it; other kinds give "".
std::wstring WideOf(const FormValue& value);
// A text the window holds, stored back in the kind `like` has.
FormValue ValueOfWide(std::wstring_view text, const FormValue& like);

// What a window holds, as a wide text.
std::wstring WindowText(void* window);

}  // namespace qv::toolkit
