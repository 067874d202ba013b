#include "wizard/form_unicode.h"

#include <cstdint>

namespace qv {

namespace {

void AppendCodePoint(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

bool IsHighSurrogate(std::uint32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLowSurrogate(std::uint32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Decodes one code point at `pos`; answers nothing for a malformed sequence.
std::optional<std::uint32_t> NextCodePoint(std::string_view s, std::size_t& pos) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char lead = byte(pos);
    int length;
    std::uint32_t cp;
    if (lead < 0x80) {
        ++pos;
        return lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        cp = lead & 0x07;
    } else {
        return std::nullopt;
    }
    if (s.size() - pos < std::size_t(length)) return std::nullopt;
    for (int i = 1; i < length; ++i) {
        unsigned char c = byte(pos + i);
        if ((c & 0xC0) != 0x80) return std::nullopt;
        cp = (cp << 6) | (c & 0x3F);
    }
    static const std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kSmallest[length] || cp > 0x10FFFF) return std::nullopt;
    pos += length;
    return cp;
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view units) {
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        std::uint32_t u = units[i];
        if (IsHighSurrogate(u) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            u = 0x10000 + ((u - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        AppendCodePoint(out, u);
    }
    return out;
}

std::optional<std::u16string> Utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        auto cp = NextCodePoint(utf8, pos);
        if (!cp) return std::nullopt;
        if (*cp >= 0x10000) {
            out += char16_t(0xD800 + ((*cp - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((*cp - 0x10000) & 0x3FF));
        } else {
            out += char16_t(*cp);
        }
    }
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        auto cp = NextCodePoint(bytes, pos);
        if (!cp || IsHighSurrogate(*cp) || IsLowSurrogate(*cp)) return false;
    }
    return true;
}

}  // namespace qv
