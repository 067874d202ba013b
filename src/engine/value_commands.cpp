#include "engine/value_commands.h"

#include "common/errors.h"
#include "common/text.h"

namespace qv {

namespace {

std::int32_t WholeNumber(const std::string& text) {
    auto value = ParseInt32(text);
    if (!value) throw ScriptError("'" + text + "' is not a valid integer value");
    return *value;
}

// Copy(S, index, count) with 1-based positions: an index below 1 counts as
// 1, a count or index past the text gives what is left, or nothing.
std::string Copy(const std::string& s, long index, long count) {
    if (index < 1) index = 1;
    if (count <= 0 || std::size_t(index) > s.size()) return {};
    return s.substr(std::size_t(index - 1), std::size_t(count));
}

bool IsDelimiter(char c) { return c == '\\' || c == ':'; }

std::size_t LastDelimiter(const std::string& path) {
    for (std::size_t i = path.size(); i-- > 0;)
        if (IsDelimiter(path[i])) return i;
    return std::string::npos;
}

std::string FileNamePart(const std::string& path) {
    std::size_t d = LastDelimiter(path);
    return d == std::string::npos ? path : path.substr(d + 1);
}

std::string FolderPart(const std::string& path) {
    std::size_t d = LastDelimiter(path);
    return d == std::string::npos ? std::string() : path.substr(0, d + 1);
}

std::string WithBackslash(std::string path) {
    if (path.empty() || path.back() != '\\') path.push_back('\\');
    return path;
}

std::string WithoutBackslash(std::string path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
    return path;
}

// "C:" for a drive path, "\\server\share" for a network path, else empty.
std::string DrivePart(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
    if (StartsWith(path, "\\\\")) {
        std::size_t server = path.find('\\', 2);
        if (server == std::string::npos) return path;
        std::size_t share = path.find('\\', server + 1);
        return share == std::string::npos ? path : path.substr(0, share);
    }
    return {};
}

std::string VariableName(const std::string& parameter) {
    std::string name = StripReference(parameter);
    return name.empty() ? parameter : name;
}

void GetTemporaryFile(RunContext& cx, const ScriptCommand& c) {
    std::string path = cx.host.CreateTempFile(cx.startup.tempFolder, "zor");
    cx.SetResult(VariableName(cx.Param(c, 1)), path, c);
}

std::string LongPath(Host& host, const std::string& path) {
    std::string p = WithoutBackslash(path);
    std::string folder = FolderPart(p);
    if (folder.empty() || FileNamePart(p).empty()) return p;
    std::string parent = LongPath(host, folder);
    auto name = host.FindFileName(p);
    if (!name) return {};
    return WithoutBackslash(parent) + "\\" + *name;
}

void ConvertPath(RunContext& cx, const ScriptCommand& c) {
    std::string name = cx.Param(c, 1);
    std::string value = cx.vars.ExpandPath(cx.vars.Get(name));
    std::string result = cx.ParamBool(c, 2) ? cx.host.ShortPath(value) : LongPath(cx.host, value);
    cx.SetResult(name, result, c);
}

void ConvertCase(RunContext& cx, const ScriptCommand& c) {
    std::string name = cx.Param(c, 1);
    std::string value = cx.vars.ExpandPath(cx.vars.Get(name));
    cx.SetResult(name, cx.ParamBool(c, 2) ? Upper8Bit(value) : Lower8Bit(value), c);
}

void ReplaceString(RunContext& cx, const ScriptCommand& c) {
    std::string name = VariableName(cx.Param(c, 1));
    std::string value = cx.vars.Get(name);
    std::string result =
        ReplaceText(value, cx.ParamText(c, 2), cx.ParamText(c, 3), cx.ParamBool(c, 5), cx.ParamBool(c, 4));
    cx.vars.Define(UpperAscii(name), result, c.name + " Action");
}

void ExtractPath(RunContext& cx, const ScriptCommand& c) {
    std::string name = cx.Param(c, 1);
    std::string value = cx.vars.ExpandPath(cx.vars.Get(name));
    cx.SetResult(name, PathPart(value, WholeNumber(cx.Param(c, 2))), c);
}

void ParseStringCommand(RunContext& cx, const ScriptCommand& c) {
    std::string source = cx.ParamPath(c, 1), delimiter = cx.ParamPath(c, 2);
    std::string firstName = cx.Param(c, 3), secondName = cx.Param(c, 4);
    for (const std::string& n : {firstName, secondName})
        if (!n.empty() && !cx.vars.Exists(n)) cx.vars.Define(UpperAscii(n), "", c.name + " Action");
    StringParts parts = SplitString(source, delimiter, WholeNumber(cx.Param(c, 5)), cx.ParamBool(c, 7));
    if (cx.ParamBool(c, 6)) {
        parts.first = Trim(parts.first);
        parts.second = Trim(parts.second);
    }
    if (!firstName.empty()) cx.vars.Define(firstName, parts.first, c.name + " Action");
    if (!secondName.empty()) cx.vars.Define(secondName, parts.second, c.name + " Action");
}

void ReadFromTextFile(RunContext& cx, const ScriptCommand& c) {
    std::string path = cx.ParamPath(c, 1);
    std::string lineName = cx.Param(c, 2), eofName = cx.Param(c, 3);
    for (const std::string& n : {lineName, eofName})
        if (!n.empty() && !cx.vars.Exists(n)) cx.vars.Define(UpperAscii(n), "", c.name + " Action");
    ReadingFile& file = cx.readingFile;
    if (!file.open || !EqualsIgnoreCaseAscii(Upper8Bit(file.path), Upper8Bit(path))) {
        file = ReadingFile();
        auto content = cx.host.ReadTextFile(path);
        if (!content) {
            if (!eofName.empty()) cx.SetResult(eofName, "TRUE", c);
            return;
        }
        file.open = true;
        file.path = path;
        file.lines = SplitLines(*content);
    }
    if (file.next < file.lines.size()) cx.SetResult(lineName, file.lines[file.next++], c);
    bool atEnd = file.next >= file.lines.size();
    if (atEnd) file = ReadingFile();
    if (!eofName.empty()) cx.SetResult(eofName, BoolText(atEnd), c);
}

void WriteToTextFile(RunContext& cx, const ScriptCommand& c) {
    std::string path = cx.ParamPath(c, 1);
    std::string line = cx.ParamText(c, 2);
    if (cx.readingFile.open && EqualsIgnoreCaseAscii(Upper8Bit(cx.readingFile.path), Upper8Bit(path)))
        cx.readingFile = ReadingFile();
    std::vector<std::string> lines = SplitLines(cx.host.ReadTextFile(path).value_or(""));
    std::vector<std::string> added = SplitLines(line);
    if (added.empty()) added.emplace_back();
    lines.insert(cx.ParamBool(c, 3) ? lines.begin() : lines.end(), added.begin(), added.end());
    std::string content;
    for (const auto& l : lines) content += l + "\r\n";
    cx.host.WriteTextFile(path, content);
}

void Mathematics(RunContext& cx, const ScriptCommand& c) {
    std::string resultName = cx.Param(c, 4);
    if (!resultName.empty() && !cx.vars.Exists(resultName)) cx.vars.Define(UpperAscii(resultName), "", c.name + " Action");
    std::string result;
    if (auto code = ParseInt32(cx.Param(c, 3))) {
        std::string b = (*code < 10 || *code == 13) ? cx.ParamText(c, 2) : std::string();
        result = Calculate(cx.ParamText(c, 1), b, *code, cx.random).value_or("");
    }
    if (!resultName.empty()) cx.SetResult(resultName, result, c);
}

}  // namespace

StringParts SplitString(const std::string& source, const std::string& delimiter, int mode, bool ignoreCase) {
    std::string s = ignoreCase ? LowerAscii(source) : source;
    std::string d = ignoreCase ? LowerAscii(delimiter) : delimiter;
    long p = 0, k = 0, sep = 1;
    long length = long(s.size());
    switch (mode) {
    case 0: {
        std::size_t at = d.empty() ? std::string::npos : s.find(d);
        p = at == std::string::npos ? length + 1 : long(at) + 1;
        k = long(d.size());
        break;
    }
    case 1: {
        std::size_t at = d.empty() ? std::string::npos : s.rfind(d);
        if (at == std::string::npos) {
            p = 1;
            k = 0;
        } else {
            p = long(at) + 1;
            k = long(d.size());
        }
        break;
    }
    case 2:
    case 3: {
        auto n = ParseInt32(d);
        if (!n) break;
        sep = 0;
        k = 1;
        p = mode == 2 ? long(*n) : length - long(*n);
        if (mode == 2 && *n == 0) {
            p = 1;
            sep = 1;
            k = -1;
        }
        break;
    }
    default: break;
    }
    if (p == 0) return {};
    return {Copy(source, 1, p - sep), Copy(source, p + k, long(source.size()) + 1)};
}

std::string PathPart(const std::string& path, int part) {
    switch (part) {
    case 0: return FileNamePart(path);
    case 1: {
        std::string name = FileNamePart(path);
        std::size_t dot = name.find_last_of('.');
        return dot == std::string::npos ? name : name.substr(0, dot);
    }
    case 2: {
        std::size_t dot = path.find_last_of('.');
        std::size_t d = LastDelimiter(path);
        if (dot == std::string::npos || (d != std::string::npos && dot < d)) return {};
        return path.substr(dot + 1);
    }
    case 3: {
        std::string folder = FolderPart(path);
        return folder.empty() ? folder : WithBackslash(folder);
    }
    case 4: {
        std::string folder = FolderPart(path);
        if (folder.empty()) return {};
        return WithBackslash(FolderPart(WithoutBackslash(WithBackslash(folder))));
    }
    case 5: return WithBackslash(DrivePart(path));
    case 6: return ReplaceText(path, "\\\\", "\\", true, false);
    default: return path;
    }
}

std::optional<std::string> Calculate(const std::string& aText, const std::string& bText, int code,
                                     RandomState& random) {
    if (code < 0 || code > 15) return std::nullopt;
    if (code == 11) {
        if (aText.empty()) return std::nullopt;
        return std::to_string(int((unsigned char)aText[0]));
    }
    auto a32 = ParseInt32(aText);
    if (!a32) return std::nullopt;
    std::int64_t a = *a32, b = 0;
    if (code < 10 || code == 13) {
        auto b32 = ParseInt32(bText);
        if (!b32) return std::nullopt;
        b = *b32;
    }
    auto u = [](std::int64_t v) { return std::uint64_t(v); };
    std::int64_t r = 0;
    switch (code) {
    case 0: r = std::int64_t(u(a) + u(b)); break;
    case 1: r = std::int64_t(u(a) - u(b)); break;
    case 2: r = std::int64_t(u(a) * u(b)); break;
    case 3:
        if (b == 0) return std::nullopt;
        r = a / b;
        break;
    case 4:
        if (b == 0) return std::nullopt;
        r = a % b;
        break;
    case 5: r = a & b; break;
    case 6: r = a | b; break;
    case 7: r = a ^ b; break;
    case 8: {
        unsigned count = unsigned(b & 0xFF);
        r = count >= 64 ? 0 : std::int64_t(u(a) << count);
        break;
    }
    case 9: {
        unsigned count = unsigned(b & 0xFF);
        r = count >= 64 ? 0 : std::int64_t(u(a) >> count);
        break;
    }
    case 10: r = ~a; break;
    case 12: return std::string(1, char(a & 0xFF));
    case 13:
        random.multiplier = std::int32_t(a);
        random.increment = std::int32_t(b);
        r = a + b;
        break;
    case 14:
        random.state = std::int32_t(a);
        r = a;
        break;
    case 15: {
        if (a == 0) return std::nullopt;
        std::int32_t x = std::int32_t(std::uint32_t(random.multiplier) * std::uint32_t(random.state) +
                                      std::uint32_t(random.increment));
        random.state = x % 32767;
        r = std::int64_t(x) % a;
        break;
    }
    }
    return std::to_string(r);
}

void RegisterValueCommands(CommandTable& table) {
    table.Add("Get Temporary File", GetTemporaryFile);
    table.Add("Convert Path", ConvertPath);
    table.Add("Convert Case", ConvertCase);
    table.Add("Replace String", ReplaceString);
    table.Add("Extract Path", ExtractPath);
    table.Add("Parse String", ParseStringCommand);
    table.Add("Read from Text File", ReadFromTextFile);
    table.Add("Write to Text File", WriteToTextFile);
    table.Add("Mathematics", Mathematics);
    table.atRunEnd.push_back([](RunContext& cx) { cx.readingFile = ReadingFile(); });
}

}  // namespace qv
