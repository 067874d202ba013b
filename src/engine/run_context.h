// Everything one run of a script shares: the script, the start-up values, the
// variables, the run state and the seams to the user interface. Owned by
// start-up, handed to every command handler.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bootstrap/command_line.h"
#include "bootstrap/package.h"
#include "engine/control_flow.h"
#include "engine/host.h"
#include "engine/trace.h"
#include "engine/value_state.h"
#include "installer/components.h"
#include "installer/deferred_properties.h"
#include "wizard/language_host.h"
#include "wizard/page_host.h"
#include "wizard/progress_state.h"
#include "wizard/translation_tables.h"
#include "engine/variable_store.h"

namespace qv {

// Values start-up determined before the script runs.
struct StartupValues {
    std::string exePath;       // full path of the running executable
    std::string setupFolder;   // its folder, trailing backslash
    std::string setupName;     // its file name without extension
    std::string tempFolder;    // trailing backslash
    std::string workspace;     // temporary folder + "zorN\"
    std::string version;       // "major.minor.release.build"
    std::string databasePath;  // workspace + setup name + ".msi"
    CommandLine commandLine;
};

struct LabelEntry {
    std::string name;          // upper-cased
    std::size_t position = 0;  // 0-based
};

class RunContext {
public:
    RunContext(const SetupScript& script, StartupValues startup, Host& host, Trace& trace)
        : script(script), startup(std::move(startup)), host(host), trace(trace) {}

    const SetupScript& script;
    const StartupValues startup;
    Host& host;
    Trace& trace;

    // The process's cancel flag; assigning ABORT sets it.
    std::atomic<bool> cancelRequested{false};
    ProgressState progress;
    // Set while a worker thread runs a long operation: the page on screen
    // then shows the progress each second.
    std::atomic<bool> longOperationActive{false};
    VariableStore vars{&cancelRequested};

    // Product fields that an instance file may replace at session start.
    std::string productCode;
    std::string revisionCode;
    std::string title;

    bool silent = false;           // read back from SILENT before every command
    std::string logPath;           // read back from LOGGED before every command
    int exitCode = 0;

    std::size_t pc = 0;            // 1-based position of the current command, 0 before the first
    bool ended = false;            // a termination command ended the run
    std::vector<LabelEntry> labels;
    BlockState flow;
    ReadingFile readingFile;
    RandomState random;

    ComponentTable components;
    std::vector<ComponentSize> componentSizes;  // starts as the package's section 15
    std::int64_t selectionBaseline = 0;          // selected sizes of the cached selection
    InstallerRecords records;

    // The wizard's pages; none before start-up has loaded them.
    PageHost* pages = nullptr;
    // The page the last waiting "Display Dialog" showed, until it is restored.
    std::string previousWaitingPage;
    // The page shown without waiting: it owns message boxes and gets the
    // progress variables.
    std::uintptr_t activePageWindow = 0;
    std::string lastProgressText;
    std::int64_t lastProgress = 0;

    // Parameter n of a command, raw.
    std::string Param(const ScriptCommand& c, int n) const { return GetParameter(script.parameters, c.identifier, n); }
    std::string ParamText(const ScriptCommand& c, int n) const { return vars.ExpandText(Param(c, n)); }
    std::string ParamPath(const ScriptCommand& c, int n) const { return vars.ExpandPath(Param(c, n)); }
    bool ParamBool(const ScriptCommand& c, int n) const { return IsTrueText(Param(c, n)); }

    // The tables of the current language, reloaded before every command,
    // and the system side of the language selection (none: no selection).
    TranslationTables translations;
    LanguageHost* languageHost = nullptr;

    // The translation of a command's text number (1 or 2) for the current
    // language; nothing without a language or an entry.
    std::function<std::optional<std::string>(const std::string& identifier, int textNumber)> translateCommandText =
        [this](const std::string& identifier, int textNumber) { return translations.CommandText(identifier, textNumber); };

    // Parameter n, replaced by the command's translated text `textNumber`
    // when a language is active and the tables hold one.
    std::string TranslatedParam(const ScriptCommand& c, int n, int textNumber) const {
        return Translation(c, textNumber).value_or(Param(c, n));
    }
    std::optional<std::string> Translation(const ScriptCommand& c, int textNumber) const {
        if (!translateCommandText || vars.Get("LANGUAGE").empty()) return std::nullopt;
        return translateCommandText(c.identifier, textNumber);
    }

    // The result-variable convention: defined when missing (upper-cased
    // name), then assigned, both with the source command name + " Action".
    void SetResult(const std::string& name, const std::string& value, const ScriptCommand& c);
};

}  // namespace qv
