// The setup script package: the plain-text tail behind the stub's image.
//
// Layout (8-bit text, lines end in CR LF; a list is any number of lines closed
// by a line that is exactly "$"; the sections follow each other directly):
//
//   1 list  command names             11 line  update information link
//   2 list  command identifiers       12 line  comments
//   3 list  parameter blocks          13 list  media block per command
//   4 list  disabled flags ("C")      14 line  media mode (whole number)
//   5 line  product code              15 list  component sizes (name, bytes)
//   6 line  title                     16 line  revision code
//   7 list  plug-in names             17 list  media files (block, source, folder)
//   8 line  publisher                 18 line  language dialog ("TRUE")
//   9 line  contact                   19 line  default language name
//  10 line  help link                 20 list  command headers (key, position)
//
// Nothing after section 20 is read. The authoring kit writes this format with
// WritePackage and the stub reads it with ParsePackage, so both sides share one
// definition.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// A package that cannot be read. Start-up reports it as a start-up failure.
class PackageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ScriptCommand {
    int position = 0;          // 0-based index in the command list
    std::string name;          // compared case-sensitively
    std::string identifier;    // GUID text, the key of the parameters
    bool disabled = false;     // flags line is exactly "C"
    std::string mediaBlock;    // empty, "OFFLINE\" or a web media block + "\"
};

struct ComponentSize {
    std::string name;
    std::int64_t bytes = 0;
};

struct MediaFile {
    std::string block;         // without backslash, e.g. "OFFLINE"
    std::string sourcePath;    // path inside the block's archive
    std::string targetFolder;  // relative, ends in a backslash
};

struct CommandHeader {
    std::string key;           // names the installer property "A" + key
    std::string position;      // 0-based command position, matched as text
};

// Section 3 kept as one flat list of lines, exactly as read.
using ParameterStore = std::vector<std::string>;

struct SetupScript {
    // Sections 1, 2, 4 and 13 are kept as read: the engine forms a command at
    // the moment it reaches it, so a short section fails there, not at load.
    std::vector<std::string> commandNames;
    std::vector<std::string> commandIds;
    std::vector<std::string> disabledFlags;
    std::vector<std::string> mediaBlocks;
    ParameterStore parameters;
    std::string productCode;
    std::string title;
    std::vector<std::string> pluginNames;
    std::string publisher;
    std::string contact;
    std::string helpLink;
    std::string updateLink;
    std::string comments;
    std::int32_t mediaMode = 1;
    std::vector<ComponentSize> componentSizes;
    std::string revisionCode;
    std::vector<MediaFile> mediaFiles;
    bool languageDialog = false;
    std::string defaultLanguage;
    std::vector<CommandHeader> commandHeaders;

    std::size_t commandCount() const { return commandNames.size(); }

    // The command at a 0-based position, formed from the parallel sections.
    // Throws ListIndexError when one of them has no entry for it.
    ScriptCommand command(std::size_t position) const;

    // The disabled mark without failing on a short section 4 (a missing flag
    // line reads as enabled); used by scans that look at every command.
    bool isDisabled(std::size_t position) const;

    bool isPlugin(std::string_view name) const;

    // The header key of the command at a position, or empty.
    std::string headerKey(std::size_t position) const;
};

// Reads the package text. Throws PackageError for a number line that is not a
// number and for a list that reaches the end of the text without its "$".
SetupScript ParsePackage(std::string_view text);

// Writes the package text. Throws PackageError for content the format cannot
// carry: a list entry that is a lone "$", or a line with CR or LF inside.
std::string WritePackage(const SetupScript& script);

// Parameter n of the command with that identifier; n = 0 is the identifier.
// Empty text when no line equals the identifier; ListIndexError when n runs
// past the end of the store.
std::string GetParameter(const ParameterStore& store, std::string_view identifier, int n);

// The end of a PE image as the loader sees it: the largest PointerToRawData +
// SizeOfRawData over the section table. `headers` holds at least the DOS
// header, the PE headers and the section table (a module's first page, or the
// first bytes of its file). Returns 0 when the bytes are not a PE image.
std::uint32_t ImageSizeFromHeaders(const unsigned char* headers, std::size_t length);

// Three lines of "instance.dat": product code, revision code, title.
struct InstanceFields {
    std::string productCode;
    std::string revisionCode;
    std::string title;
};
InstanceFields ParseInstanceText(std::string_view text);

}  // namespace qv
