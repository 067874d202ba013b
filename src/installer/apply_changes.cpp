#include "installer/installer_commands.h"

#include "common/text.h"
#include "engine/variable_store.h"
#include "installer/apply_changes_plan.h"
#include "installer/installer_database.h"
#include "installer/installer_run.h"
#include "installer/language_codes.h"
#include "installer/product_registration.h"
#include "installer/source_folder_browser.h"
#include "platform/files.h"
#include "wizard/message_table.h"

namespace qv::win {

void TransformInstance(RunContext& cx, const ScriptCommand& c);

namespace {

// Steps 2 and 3 of both commands: the installed copy's folder from its
// uninstall entry, unless the command line names the sources.
std::string FindPatchSourceFolder(RunContext& cx) {
    bool machine = IsTrueText(cx.vars.Get("ALLUSERS")) || !cx.host.IsNtFamily();
    std::string folder = PatchSourceFromUninstallString(cx.host.UninstallString(cx.vars.Get("TITLE"), machine));
    const std::string& given = cx.startup.commandLine.sourcePath;
    if (!given.empty()) folder = WithTrailingBackslash(given);
    return folder;
}

// Asks for the sources until a folder holds them; nothing when the user
// gives up (or cannot be asked, in a silent run).
std::optional<std::string> SearchForSources(RunContext& cx, const std::string& productCode) {
    auto exists = [&](const std::string& file) { return cx.host.FileExists(file); };
    while (!cx.silent) {
        std::optional<std::string> chosen = ChooseFolder(MessageText(Msg::LocateSources), cx.activePageWindow);
        if (!chosen) break;
        if (auto accepted = AcceptedSourceFolder(*chosen, productCode, exists)) return accepted;
    }
    return std::nullopt;
}

void RunInstallerCommand(RunContext& cx, const ScriptCommand& c, bool patch) {
    const int resultParameter = patch ? 1 : 2;
    const bool install = !patch && cx.ParamBool(c, 3);
    const bool remove = !patch && cx.ParamBool(c, 4);
    InstallerRecords& records = cx.records;

    InstallerRunRequest request;
    request.patch = patch;
    request.dataFolder = cx.vars.Get("DATADIR");
    request.patchSourceFolder = FindPatchSourceFolder(cx);

    SourceCheck check;
    check.patch = patch;
    check.install = install;
    check.maintenance = IsTrueText(cx.vars.Get("MAINTENANCE"));
    check.mediaMode = cx.script.mediaMode;
    check.productCode = records.originalProductCode.empty() ? cx.productCode : records.originalProductCode;
    check.dataFolder = request.dataFolder;
    check.patchSourceFolder = request.patchSourceFolder;
    if (MustSearchForSources(check, [&](const std::string& file) { return cx.host.FileExists(file); })) {
        std::optional<std::string> found = SearchForSources(cx, check.productCode);
        if (!found) {
            cx.SetResult("LASTERROR", MessageText(Msg::SourcesNotFound), c);
            std::string result = cx.Param(c, resultParameter);
            std::string name = StripReference(result);
            if (!result.empty()) cx.SetResult(name.empty() ? result : name, "CANCEL", c);
            return;
        }
        request.dataFolder = *found;
    }

    records.RecordDeferredProperty("MSINTEMP", cx.vars.Get("TEMPDIR"));
    records.AppendParameterLog("MSINTEMP", cx.vars.Get("TEMPDIR"));
    const std::string& database = cx.startup.databasePath;
    if (patch) {
        request.patchSourceFolder = request.dataFolder;
        request.packagePath = PatchPathOf(database);
    } else {
        std::string language = cx.vars.Get("LANGUAGE");
        if (!language.empty()) {
            records.RecordDeferredProperty("ProductLanguage", ProductLanguageCode(language));
            ApplyShortcutUpdates(records, database);
            ApplyProgIdUpdates(records, database);
        }
        request.packagePath = database;
        request.dialogFile = cx.startup.workspace + cx.Param(c, 1) + ".dfm";
        request.install = install;
        request.advertise = !install && !remove;
    }
    request.variables = cx.vars.ListText();
    request.properties = EncodeList(records.parameterLog);
    request.productCode = cx.productCode;

    InstallerRunReturn run = RunInstaller(cx, request);
    if (!run.errorText.empty()) cx.SetResult("LASTERROR", run.errorText, c);
    std::string result = cx.Param(c, resultParameter);
    if (!result.empty()) {
        if (run.outcome == InstallerOutcome::Reboot) cx.SetResult("REBOOTCOMPUTER", "TRUE", c);
        cx.SetResult(result, OutcomeText(run.outcome), c);
    }
    bool succeeded = run.outcome == InstallerOutcome::Complete || run.outcome == InstallerOutcome::Reboot;
    if (succeeded && !patch) CacheAndRegisterProduct(cx, install, remove);
}

}  // namespace

void RegisterInstallerCommands(CommandTable& table) {
    table.Add("Apply Changes", [](RunContext& cx, const ScriptCommand& c) { RunInstallerCommand(cx, c, false); });
    table.Add("Apply Patch", [](RunContext& cx, const ScriptCommand& c) { RunInstallerCommand(cx, c, true); });
    table.Add("Transform Instance", TransformInstance);
}

}  // namespace qv::win
