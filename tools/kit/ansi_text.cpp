#include "ansi_text.h"

#include <cstdint>
#include <cstdio>

#include "kit_error.h"

namespace qv::kit {

namespace {

// The code points that Windows-1252 puts at bytes 0x80..0x9F (0 where the
// byte has no character).
constexpr std::uint16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

int AnsiByte(std::uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return int(cp);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] != 0 && kHighControls[i] == cp) return 0x80 + i;
    return -1;
}

[[noreturn]] void Unrepresentable(std::uint32_t cp, std::string_view what) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", unsigned(cp));
    throw KitError(std::string(what) + ": the character " + code +
                   " has no byte in the setup's code page (Windows-1252)");
}

}  // namespace

std::string Utf8ToAnsi(std::string_view utf8, std::string_view what) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        unsigned char lead = (unsigned char)utf8[i];
        int extra = lead < 0x80 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
        if (extra < 0 || i + std::size_t(extra) >= utf8.size())
            throw KitError(std::string(what) + ": the text is not valid UTF-8");
        std::uint32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            unsigned char c = (unsigned char)utf8[i + std::size_t(k)];
            if ((c & 0xC0) != 0x80) throw KitError(std::string(what) + ": the text is not valid UTF-8");
            cp = cp << 6 | (c & 0x3F);
        }
        i += std::size_t(extra) + 1;
        int byte = AnsiByte(cp);
        if (byte < 0) Unrepresentable(cp, what);
        out.push_back(char(byte));
    }
    return out;
}

}  // namespace qv::kit
