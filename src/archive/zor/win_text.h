// Text conversions of the archive library: its callers speak the ANSI code
// page, the reader UTF-8, the file system UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace qv::zor {

std::wstring AnsiToWide(std::string_view text);
std::wstring Utf8ToWide(std::string_view text);
// Characters the ANSI code page lacks become '?'.
std::string WideToAnsi(std::wstring_view text);

// An entry's path as the library lists it: ANSI, with backslashes.
std::string ListedName(std::string_view utf8Path);

}  // namespace qv::zor
