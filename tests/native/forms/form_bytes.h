// Builds binary form streams by hand for the form tests, so that expected
// bytes come from the format, not from the writer under test.
#pragma once

#include <cctype>
#include <stdexcept>
#include <string>
#include <string_view>

namespace qv::formtest {

// "06 03 61 62 63" to bytes; blanks are ignored, quoted 'text' is taken as is.
inline std::string Hex(std::string_view pattern) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (c == ' ') continue;
        if (c == '\'') {
            std::size_t close = pattern.find('\'', i + 1);
            out += pattern.substr(i + 1, close - i - 1);
            i = close;
            continue;
        }
        if (i + 1 >= pattern.size() || !std::isxdigit(static_cast<unsigned char>(c)))
            throw std::invalid_argument("bad hex pattern");
        out += char(std::stoi(std::string(pattern.substr(i, 2)), nullptr, 16));
        ++i;
    }
    return out;
}

// A short string: length byte and bytes.
inline std::string Short(std::string_view text) { return char(text.size()) + std::string(text); }

// A root object "X: TX" holding these property bytes and no children.
inline std::string Stream(std::string_view properties) {
    return "TPF0" + Short("TX") + Short("X") + std::string(properties) + std::string(2, '\0');
}

// One property named V with these value bytes.
inline std::string StreamWithValue(std::string_view value) { return Stream(Short("V") + std::string(value)); }

inline std::string Printable(std::string_view bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char b : bytes) {
        if (!out.empty()) out += ' ';
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}

}  // namespace qv::formtest
