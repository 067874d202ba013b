#include "bootstrap/package.h"

#include <cstring>

#include "common/errors.h"
#include "common/text.h"

namespace qv {

namespace {

// Reads the package text line by line, as a text file is read: CR LF, CR or
// LF ends a line; reading past the end gives empty lines.
class LineReader {
public:
    explicit LineReader(std::string_view text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }

    std::string line() {
        std::size_t start = pos_;
        while (pos_ < text_.size() && text_[pos_] != '\r' && text_[pos_] != '\n') ++pos_;
        std::string result(text_.substr(start, pos_ - start));
        skipBreak();
        return result;
    }

    std::vector<std::string> list(int section) {
        std::vector<std::string> entries;
        for (;;) {
            if (atEnd())
                throw PackageError("The setup package is damaged: section " + std::to_string(section) +
                                   " ends without its \"$\" line");
            std::string entry = line();
            if (entry == "$") return entries;
            entries.push_back(std::move(entry));
        }
    }

    // A whole number: blanks and line ends before it are skipped, the rest of
    // its line is discarded.
    std::int32_t number(int section) {
        while (pos_ < text_.size() && (unsigned char)text_[pos_] <= 32) ++pos_;
        std::size_t start = pos_;
        while (pos_ < text_.size() && (unsigned char)text_[pos_] > 32) ++pos_;
        auto value = ParseInt32(text_.substr(start, pos_ - start));
        if (!value)
            throw PackageError("Invalid numeric input in section " + std::to_string(section) +
                               " of the setup package");
        line();
        return *value;
    }

private:
    void skipBreak() {
        if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
        if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

void Put(std::string& out, std::string_view line, const char* what) {
    if (line.find_first_of("\r\n") != std::string_view::npos)
        throw PackageError(std::string("The package cannot carry a line break inside ") + what);
    out.append(line);
    out.append("\r\n");
}

void PutList(std::string& out, const std::vector<std::string>& entries, const char* what) {
    for (const auto& e : entries) {
        if (e == "$") throw PackageError(std::string("The package cannot carry a lone \"$\" in ") + what);
        Put(out, e, what);
    }
    out.append("$\r\n");
}

std::int64_t ParseSize(const std::string& text) {
    std::string t = Trim(text);
    if (t.empty()) throw PackageError("Invalid component size in the setup package: " + text);
    std::size_t i = (t[0] == '-' || t[0] == '+') ? 1 : 0;
    if (i >= t.size()) throw PackageError("Invalid component size in the setup package: " + text);
    std::int64_t value = 0;
    for (; i < t.size(); ++i) {
        if (t[i] < '0' || t[i] > '9' || value > (INT64_MAX - 9) / 10)
            throw PackageError("Invalid component size in the setup package: " + text);
        value = value * 10 + (t[i] - '0');
    }
    return t[0] == '-' ? -value : value;
}

std::uint32_t Read32(const unsigned char* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

std::uint16_t Read16(const unsigned char* p) { return std::uint16_t(p[0] | p[1] << 8); }

}  // namespace

ScriptCommand SetupScript::command(std::size_t position) const {
    auto need = [&](const std::vector<std::string>& section) -> const std::string& {
        if (position >= section.size()) throw ListIndexError(long(position));
        return section[position];
    };
    ScriptCommand c;
    c.position = int(position);
    c.name = need(commandNames);
    c.identifier = need(commandIds);
    c.disabled = need(disabledFlags) == "C";
    c.mediaBlock = need(mediaBlocks);
    return c;
}

bool SetupScript::isDisabled(std::size_t position) const {
    return position < disabledFlags.size() && disabledFlags[position] == "C";
}

bool SetupScript::isPlugin(std::string_view name) const {
    for (const auto& p : pluginNames)
        if (EqualsIgnoreCaseAscii(Upper8Bit(p), Upper8Bit(name))) return true;
    return false;
}

std::string SetupScript::headerKey(std::size_t position) const {
    std::string pos = std::to_string(position);
    for (const auto& h : commandHeaders)
        if (h.position == pos) return h.key;
    return {};
}

SetupScript ParsePackage(std::string_view text) {
    LineReader in(text);
    SetupScript s;
    s.commandNames = in.list(1);
    s.commandIds = in.list(2);
    s.parameters = in.list(3);
    s.disabledFlags = in.list(4);
    s.productCode = in.line();
    s.title = in.line();
    s.pluginNames = in.list(7);
    s.publisher = in.line();
    s.contact = in.line();
    s.helpLink = in.line();
    s.updateLink = in.line();
    s.comments = in.line();
    s.mediaBlocks = in.list(13);
    s.mediaMode = in.number(14);
    auto sizes = in.list(15);
    for (std::size_t i = 0; i + 1 < sizes.size(); i += 2) s.componentSizes.push_back({sizes[i], ParseSize(sizes[i + 1])});
    s.revisionCode = in.line();
    auto media = in.list(17);
    for (std::size_t i = 0; i + 2 < media.size(); i += 3) s.mediaFiles.push_back({media[i], media[i + 1], media[i + 2]});
    s.languageDialog = in.line() == "TRUE";
    s.defaultLanguage = in.line();
    auto headers = in.list(20);
    for (std::size_t i = 0; i + 1 < headers.size(); i += 2) s.commandHeaders.push_back({headers[i], headers[i + 1]});
    return s;
}

std::string WritePackage(const SetupScript& s) {
    std::string out;
    PutList(out, s.commandNames, "a command name");
    PutList(out, s.commandIds, "a command identifier");
    PutList(out, s.parameters, "a parameter");
    PutList(out, s.disabledFlags, "a disabled flag");
    Put(out, s.productCode, "the product code");
    Put(out, s.title, "the title");
    PutList(out, s.pluginNames, "a plug-in name");
    Put(out, s.publisher, "the publisher");
    Put(out, s.contact, "the contact");
    Put(out, s.helpLink, "the help link");
    Put(out, s.updateLink, "the update link");
    Put(out, s.comments, "the comments");
    PutList(out, s.mediaBlocks, "a media block");
    Put(out, std::to_string(s.mediaMode), "the media mode");
    std::vector<std::string> sizes;
    for (const auto& c : s.componentSizes) {
        sizes.push_back(c.name);
        sizes.push_back(std::to_string(c.bytes));
    }
    PutList(out, sizes, "a component size");
    Put(out, s.revisionCode, "the revision code");
    std::vector<std::string> media;
    for (const auto& m : s.mediaFiles) {
        media.push_back(m.block);
        media.push_back(m.sourcePath);
        media.push_back(m.targetFolder);
    }
    PutList(out, media, "a media file");
    Put(out, s.languageDialog ? "TRUE" : "FALSE", "the language dialog flag");
    Put(out, s.defaultLanguage, "the default language");
    std::vector<std::string> headers;
    for (const auto& h : s.commandHeaders) {
        headers.push_back(h.key);
        headers.push_back(h.position);
    }
    PutList(out, headers, "a command header");
    return out;
}

std::string GetParameter(const ParameterStore& store, std::string_view identifier, int n) {
    for (std::size_t i = 0; i < store.size(); ++i) {
        if (store[i] != identifier) continue;
        std::size_t index = i + std::size_t(n);
        if (n < 0 || index >= store.size()) throw ListIndexError(long(index));
        return store[index];
    }
    return {};
}

std::uint32_t ImageSizeFromHeaders(const unsigned char* h, std::size_t length) {
    if (length < 0x40 || h[0] != 'M' || h[1] != 'Z') return 0;
    std::uint32_t pe = Read32(h + 0x3C);
    if (std::uint64_t(pe) + 24 > length || std::memcmp(h + pe, "PE\0\0", 4) != 0) return 0;
    const unsigned char* fileHeader = h + pe + 4;
    std::uint16_t sections = Read16(fileHeader + 2);
    std::uint16_t optionalSize = Read16(fileHeader + 16);
    std::uint64_t table = std::uint64_t(pe) + 24 + optionalSize;
    if (table + std::uint64_t(sections) * 40 > length) return 0;
    std::uint32_t end = 0;
    for (std::uint16_t i = 0; i < sections; ++i) {
        const unsigned char* sh = h + table + std::size_t(i) * 40;
        std::uint64_t sectionEnd = std::uint64_t(Read32(sh + 20)) + Read32(sh + 16);
        if (sectionEnd > end) end = std::uint32_t(sectionEnd);
    }
    return end;
}

InstanceFields ParseInstanceText(std::string_view text) {
    LineReader in(text);
    InstanceFields f;
    f.productCode = in.line();
    f.revisionCode = in.line();
    f.title = in.line();
    return f;
}

}  // namespace qv
