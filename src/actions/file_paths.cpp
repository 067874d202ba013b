#include "actions/file_paths.h"

#include "common/errors.h"
#include "common/text.h"

namespace qv {

namespace {

std::string FileNamePart(const std::string& path) {
    std::size_t d = path.find_last_of("\\:");
    return d == std::string::npos ? path : path.substr(d + 1);
}

bool NeedsQuotes(const std::string& entry) {
    for (unsigned char ch : entry)
        if (ch <= 0x20 || ch == '"' || ch == '|') return true;
    return false;
}

std::string Quoted(const std::string& entry) {
    std::string out = "\"";
    for (char ch : entry) {
        if (ch == '"') out += '"';
        out += ch;
    }
    return out + "\"";
}

std::vector<std::string> SplitDots(const std::string& text) {
    std::vector<std::string> parts(1);
    for (char ch : text) {
        if (ch == '.') parts.emplace_back();
        else parts.back() += ch;
    }
    return parts;
}

bool IsSectionLine(const std::string& line) {
    std::string t = Trim(line);
    return t.size() >= 2 && t.front() == '[';
}

}  // namespace

std::string WithTrailingBackslash(const std::string& path) {
    if (path.empty() || path.back() == '\\') return path;
    return path + "\\";
}

std::string WithoutTrailingBackslash(const std::string& path) {
    if (!path.empty() && path.back() == '\\') return path.substr(0, path.size() - 1);
    return path;
}

std::string FileExtension(const std::string& path) {
    std::string name = FileNamePart(path);
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string FileNameWithoutExtension(const std::string& path) {
    std::string name = FileNamePart(path);
    std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

SearchPath SplitSearchPath(const std::string& path) {
    std::size_t slash = path.rfind('\\');
    if (slash == std::string::npos) return {"", path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

std::string SearchResultText(const std::vector<std::string>& entries) {
    if (entries.size() == 1 && entries[0].empty()) return "\"\"";
    std::string out;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0) out += '|';
        out += NeedsQuotes(entries[i]) ? Quoted(entries[i]) : entries[i];
    }
    return out;
}

FileVersion VersionFromHalves(std::uint32_t ms, std::uint32_t ls) {
    return {ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF};
}

std::string VersionText(const FileVersion& v) {
    return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." + std::to_string(v[3]);
}

FileVersion ParseReferenceVersion(const std::string& text) {
    std::vector<std::string> parts = SplitDots(text);
    FileVersion v{0, 0, 0, 0};
    for (std::size_t i = 0; i < 4 && i < parts.size(); ++i) {
        auto number = ParseInt32(parts[i]);
        bool followedByDot = i + 1 < parts.size();
        if (!number && followedByDot) throw ScriptError("'" + parts[i] + "' is not a valid integer value");
        v[i] = number ? std::uint32_t(*number) : 0;
    }
    return v;
}

bool VersionIsHigher(const FileVersion& version, const FileVersion& reference) {
    for (std::size_t i = 0; i < 4; ++i)
        if (version[i] != reference[i]) return version[i] > reference[i];
    return false;
}

std::string AddRenameEntry(const std::string& iniText, const std::string& shortPath) {
    std::vector<std::string> lines = SplitLines(iniText);
    std::string entry = "NUL=" + shortPath;
    std::size_t section = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (EqualsIgnoreCaseAscii(Trim(lines[i]), "[Rename]")) {
            section = i;
            break;
        }
    if (section == lines.size()) {
        lines.push_back("[Rename]");
        lines.push_back(entry);
    } else {
        std::size_t end = section + 1;
        while (end < lines.size() && !IsSectionLine(lines[end])) ++end;
        // Blank lines that close the section stay after the new entry.
        while (end > section + 1 && Trim(lines[end - 1]).empty()) --end;
        lines.insert(lines.begin() + long(end), entry);
    }
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

}  // namespace qv
