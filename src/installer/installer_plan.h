// What an installer run ("Apply Changes", "Apply Patch") is given, what it
// reads from the variables it was given, and the fixed values it passes to
// the installer service.
//
// The run is split so that the worker thread only calls the installer with
// values computed here:
//   settings  = ReadRunSettings(request.variables)
//   folders   = DeriveFolders(request, queries)          derived_folders.h
//   hand-over = PropertyHandoverText(request, folders)    handover_file.h
//   log       = InstallerLogHeader(request, folders, t)   installer_log.h
//   call      = PlanInstallerCall(request, settings, folders, installed)
//                                                         property_command_line.h
//   messages  -> InstallerMessageHandler::Handle          message_handler.h
//   result    -> RecordInstallerResult, RunOutcome        installer_outcome.h
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qv {

struct InstallerRunRequest {
    bool patch = false;             // "Apply Patch"
    std::string packagePath;        // the database copy, or for a patch the ".msp" beside it
    std::string dialogFile;         // the progress dialog's file; empty for a patch
    std::string variables;          // the variable store's list form when the command started
    std::string properties;         // the parameter log's list form
    std::string productCode;
    bool install = false;           // install or maintain; false with advertise false removes
    bool advertise = false;         // advertise only; implies install
    std::string dataFolder;         // where the setup's sources are
    std::string patchSourceFolder;  // the installed copy's folder (patch runs)

    // Advertising is a kind of install.
    bool installs() const { return install || advertise; }
};

// What the worker reads from the variables snapshot while it walks it.
struct RunSettings {
    bool silent = false;       // SILENT upper-cased is "TRUE": no installer message boxes
    std::string caption;       // TITLE: the caption of the installer's message boxes
    bool allUsers = false;     // ALLUSERS is exactly "TRUE" (letter case counts here)
};

// Names are matched with letter case ignored; a name listed twice takes its
// last value, as the variable store would.
RunSettings ReadRunSettings(std::string_view variablesText);

// The folder that is the current directory while the installer runs: the
// dialog file's folder (trailing backslash), or none when there is no dialog
// file, in which case the current directory stays as it is.
std::optional<std::string> RunDirectory(const InstallerRunRequest& request);

// Where the installer-side reader finds the hand-over file: the system's
// temporary folder + the product code, no extension.
std::string HandoverFilePath(std::string_view tempFolder, std::string_view productCode);

// The installer log takes every message kind but files-in-use and
// show-dialog, appended and flushed line by line to the file that already
// holds the header.
inline constexpr std::uint32_t kInstallerLogMode = 16351;
inline constexpr std::uint32_t kInstallerLogAttributes = 3;
// The installer's own interface shows nothing but source resolution ...
inline constexpr std::uint32_t kInternalUiLevel = 258;
// ... and the setup's handler receives every message kind but files-in-use.
inline constexpr std::uint32_t kExternalUiFilter = 32735;
// Session run modes that a removal reads back to learn of a restart.
inline constexpr int kRunModeRebootAtEnd = 6;
inline constexpr int kRunModeRebootNow = 7;

}  // namespace qv
