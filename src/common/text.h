// Small text helpers shared by the portable core.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// ASCII-only case mapping: variable names compare this way.
std::string UpperAscii(std::string_view text);
std::string LowerAscii(std::string_view text);
bool EqualsIgnoreCaseAscii(std::string_view a, std::string_view b);

// The 8-bit upper/lower-casing of the Western code page (Windows-1252):
// ASCII letters and the accented letters of Latin-1.
std::string Upper8Bit(std::string_view text);
std::string Lower8Bit(std::string_view text);

// Splits text into lines; CR LF, CR and LF each end a line. A final line
// without a break counts; a final break adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);

// Whole numbers as the script reads them: optional leading blanks, optional
// sign, decimal digits, or hexadecimal after "$" (also "0x"/"x"). Must fit in
// 32 signed bits (eight hex digits above 7FFFFFFF wrap to negative numbers).
std::optional<std::int32_t> ParseInt32(std::string_view text);

// Blanks and control characters (codes up to 32) removed at both ends.
std::string Trim(std::string_view text);

bool StartsWith(std::string_view text, std::string_view prefix);

// The folder part of a path up to and including its last backslash (or
// slash); empty when the path has none.
std::string FolderOfPath(std::string_view path);
// The part after the last backslash (or slash); the whole path without one.
std::string FileNameOfPath(std::string_view path);
bool EndsWith(std::string_view text, std::string_view suffix);

}  // namespace qv
