#include "installer/installer_log.h"

#include <cstdint>
#include <vector>

#include "common/text.h"
#include "engine/variable_store.h"

namespace qv {

namespace {

// A list form with every item masked; the original text when nothing needed
// masking, so the log shows exactly what the run was given.
std::string MaskList(const std::string& listText) {
    std::vector<std::string> items = DecodeList(listText);
    bool changed = false;
    for (std::string& item : items) {
        std::string masked = MaskPasswordArguments(item);
        if (masked != item) {
            item = std::move(masked);
            changed = true;
        }
    }
    return changed ? EncodeList(items) : listText;
}

void AppendSection(std::string& out, const char* title, const std::string& body) {
    out += title;
    out += "\r\n";
    out += body;
    out += "\r\n\r\n";
}

// Windows-1252 0x80..0x9F; the five unassigned codes map to themselves.
constexpr std::uint16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

std::string MaskPasswordArguments(std::string_view text) {
    std::string out;
    std::size_t i = 0, copied = 0;
    while (i < text.size()) {
        while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
        if (i >= text.size()) break;
        std::size_t start = i;
        std::string argument;
        bool quoted = false;
        while (i < text.size() && (quoted || static_cast<unsigned char>(text[i]) > ' ')) {
            if (text[i] == '"')
                quoted = !quoted;
            else if (argument.size() < 3)
                argument.push_back(text[i]);
            ++i;
        }
        std::string lower = LowerAscii(argument);
        if (lower == "/k=" || lower == "-k=") {
            out.append(text.substr(copied, start - copied));
            out += argument + "***";
            copied = i;
        }
    }
    out.append(text.substr(copied));
    return out;
}

std::string InstallerLogHeader(const InstallerRunRequest& request, const DerivedFolders& folders,
                               std::string_view timestamp) {
    std::string out = "=== Quorvex: Applying Changes @" + std::string(timestamp) + " ===\r\n\r\n";
    AppendSection(out, "*** Variables ***", MaskList(request.variables));
    AppendSection(out, "*** Properties ***", MaskList(request.properties));
    AppendSection(out, "*** MSI Database ***", request.packagePath);
    AppendSection(out, "*** GUID ***", request.productCode);
    AppendSection(out, "*** Data Directory ***", folders.dataFolder);
    AppendSection(out, "*** Media Directory ***", folders.mediaPath);
    AppendSection(out, "*** MSI Directory ***", folders.msiFolder);
    out += "\r\n";
    return out;
}

std::string InstallerLogHeaderBytes(std::string_view header, bool ntPlatform) {
    if (!ntPlatform) return std::string(header);
    std::string bytes;
    bytes.reserve(header.size() * 2);
    for (char c : header) {
        unsigned char b = static_cast<unsigned char>(c);
        std::uint16_t unit = (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : b;
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

}  // namespace qv
