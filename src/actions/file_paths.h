// The text side of the file commands: path pieces, version numbers, the
// search result list and the restart-deletion list of the older Windows
// family. Paths are single-byte text in the system code page.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

std::string WithTrailingBackslash(const std::string& path);     // empty stays empty
std::string WithoutTrailingBackslash(const std::string& path);  // removes one final "\"
// The file-name part's extension without its dot; empty when it has none.
std::string FileExtension(const std::string& path);
// The file-name part with its extension removed.
std::string FileNameWithoutExtension(const std::string& path);

// A search path split at its last backslash: the folder (with the
// backslash, or empty) and the mask.
struct SearchPath {
    std::string folder;
    std::string mask;
};
SearchPath SplitSearchPath(const std::string& path);

// The entries joined with "|"; an entry holding a blank or control
// character, a double quote or "|" is quoted with inner quotes doubled. One
// empty entry alone is written as two double quotes.
std::string SearchResultText(const std::vector<std::string>& entries);

using FileVersion = std::array<std::uint32_t, 4>;
// The fixed version's halves as four numbers: "major.minor.release.build".
FileVersion VersionFromHalves(std::uint32_t mostSignificant, std::uint32_t leastSignificant);
std::string VersionText(const FileVersion& version);
// A reference version written as up to four dotted numbers. A part followed
// by "." must be a whole number (otherwise the script's number-conversion
// error); the last part and missing parts count as 0 when not a number.
FileVersion ParseReferenceVersion(const std::string& text);
// True only when `version` is strictly higher than `reference`.
bool VersionIsHigher(const FileVersion& version, const FileVersion& reference);

// "wininit.ini" with one more "NUL=path" entry in its section "Rename"
// (added at the end of the section, or in a new section at the end).
std::string AddRenameEntry(const std::string& iniText, const std::string& shortPath);

}  // namespace qv
