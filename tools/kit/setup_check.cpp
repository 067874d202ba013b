#include "setup_check.h"

#include <algorithm>

#include "bootstrap/package.h"
#include "common/errors.h"
#include "engine/validate.h"
#include "file_io.h"
#include "kit_error.h"

namespace qv::kit {

namespace {

// A file that starts as a PE image carries its package behind the image;
// any other file is taken as a bare package.
std::string PackageOf(const std::filesystem::path& file) {
    std::string bytes = ReadWholeFile(file, "the setup");
    std::size_t headers = std::min<std::size_t>(bytes.size(), 4096);
    std::uint32_t image = ImageSizeFromHeaders(reinterpret_cast<const unsigned char*>(bytes.data()), headers);
    if (image == 0) return bytes;
    if (image >= bytes.size()) throw KitError(file.string() + ": the file carries no setup package");
    return bytes.substr(image);
}

// The stub forms each command from sections 1, 2, 4 and 13 when it reaches
// it; a short section would end the run there with a list-index error.
std::string ParallelSectionFault(const SetupScript& s) {
    struct Section {
        int number;
        std::size_t size;
    } sections[] = {{2, s.commandIds.size()}, {4, s.disabledFlags.size()}, {13, s.mediaBlocks.size()}};
    for (const auto& section : sections)
        if (section.size != s.commandCount())
            return "the package lists " + std::to_string(s.commandCount()) + " commands but section " +
                   std::to_string(section.number) + " has " + std::to_string(section.size) + " entries";
    return {};
}

// Diagnostics may hold a bare CR (a line break in a message box); shown on a
// terminal it would overwrite the line.
std::string Printable(std::string text) {
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')) text[i] = '\n';
    return text;
}

}  // namespace

int CheckSetup(const std::filesystem::path& file, std::ostream& out) {
    std::string package = PackageOf(file);
    SetupScript script;
    try {
        script = ParsePackage(package);
    } catch (const PackageError& e) {
        throw KitError(file.string() + ": the setup package cannot be read: " + e.what());
    }
    std::string fault = ParallelSectionFault(script);
    if (!fault.empty()) {
        out << "damaged package: " << fault << "\n";
        return 1;
    }
    std::optional<ValidationFailure> failure;
    try {
        failure = ValidateScript(script);
    } catch (const ScriptError& e) {
        throw KitError(file.string() + ": the validation pass failed: " + e.what());
    }
    if (!failure) {
        out << "ok\n";
        return 0;
    }
    std::string name = failure->position < script.commandNames.size() ? script.commandNames[failure->position] : "";
    out << "validation failed at command " << failure->position + 1 << " (" << name << "): " << Printable(failure->text)
        << "\n";
    return 1;
}

}  // namespace qv::kit
