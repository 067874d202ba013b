#include "common/text.h"

#include <limits>

namespace qv {

namespace {

char UpperAsciiChar(char c) { return (c >= 'a' && c <= 'z') ? char(c - 32) : c; }
char LowerAsciiChar(char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; }

// Windows-1252: 0xE0-0xFE map to 0xC0-0xDE except 0xF7 (division sign);
// 0x9A/0x9C/0x9E/0xFF have upper forms 0x8A/0x8C/0x8E/0x9F.
unsigned char Upper1252(unsigned char c) {
    if (c >= 'a' && c <= 'z') return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    switch (c) {
    case 0x9A: return 0x8A;
    case 0x9C: return 0x8C;
    case 0x9E: return 0x8E;
    case 0xFF: return 0x9F;
    default: return c;
    }
}

unsigned char Lower1252(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
    switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string UpperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = UpperAsciiChar(c);
    return out;
}

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = LowerAsciiChar(c);
    return out;
}

bool EqualsIgnoreCaseAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAsciiChar(a[i]) != UpperAsciiChar(b[i])) return false;
    return true;
}

std::string Upper8Bit(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = char(Upper1252((unsigned char)c));
    return out;
}

std::string Lower8Bit(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = char(Lower1252((unsigned char)c));
    return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0, i = 0;
    while (i < text.size()) {
        char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = ++i;
        } else {
            ++i;
        }
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

std::optional<std::int32_t> ParseInt32(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < text.size() && text[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        hex = true;
        i += 2;
    } else if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
        hex = true;
        ++i;
    }
    if (i >= text.size()) return std::nullopt;
    if (hex) {
        std::uint64_t value = 0;
        std::size_t digits = 0;
        for (; i < text.size(); ++i, ++digits) {
            int d = HexDigit(text[i]);
            if (d < 0 || digits >= 8) return std::nullopt;
            value = value * 16 + unsigned(d);
        }
        auto result = std::int32_t(std::uint32_t(value));
        return negative ? std::int32_t(0u - std::uint32_t(result)) : result;
    }
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > std::int64_t(std::numeric_limits<std::int32_t>::max()) + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value > std::numeric_limits<std::int32_t>::max() || value < std::numeric_limits<std::int32_t>::min())
        return std::nullopt;
    return std::int32_t(value);
}

std::string Trim(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && (unsigned char)text[b] <= 32) ++b;
    while (e > b && (unsigned char)text[e - 1] <= 32) --e;
    return std::string(text.substr(b, e - b));
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

bool EndsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string FolderOfPath(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string FileNameOfPath(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace qv
