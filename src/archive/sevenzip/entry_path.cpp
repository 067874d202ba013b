#include "archive/sevenzip/entry_path.h"

#include "archive/sevenzip/archive_error.h"

namespace qv::sevenzip {
namespace {

[[noreturn]] void ThrowUnsafe(std::string_view path) {
    throw ArchiveError(ArchiveErrorKind::UnsafePath,
                       "The entry \"" + std::string(path) + "\" would be written outside the target folder");
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Windows opens a device, not a file, for these names, whatever extension
// follows them.
bool IsDeviceName(std::string_view name) {
    std::string base(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" || base == "CONOUT$")
        return true;
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) && base[3] >= '1' &&
           base[3] <= '9';
}

}  // namespace

std::vector<std::string> SafeEntryPath(std::string_view path) {
    if (path.empty() || IsSeparator(path[0]) || path.find(':') != std::string_view::npos) ThrowUnsafe(path);
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) ++end;
        const std::string_view name = path.substr(start, end - start);
        start = end + 1;
        if (name.empty() || name == ".") continue;
        if (name == "..") {
            if (names.empty()) ThrowUnsafe(path);
            names.pop_back();
            continue;
        }
        // Windows drops trailing dots and blanks of a name: ".. " would
        // climb, "..." would name the folder itself.
        if (name.find_first_not_of(". ") == std::string_view::npos || IsDeviceName(name)) ThrowUnsafe(path);
        names.emplace_back(name);
    }
    if (names.empty()) ThrowUnsafe(path);
    return names;
}

}  // namespace qv::sevenzip
