#include "engine/session_start.h"

#include "common/text.h"
#include "engine/termination.h"

namespace qv {

namespace {

const char* kPreInit = "Pre-Initialization";
const char* kBootstrap = "Bootstrap";
const char* kInit = "Initialization";

bool AllUsersDefault(RunContext& cx) { return cx.host.IsNtFamily() && cx.host.IsAdministrator(); }

std::string ProductCacheFolder(RunContext& cx, bool allUsers) {
    return cx.host.ApplicationDataRoot(allUsers) + cx.revisionCode + "\\";
}

std::string DefaultTargetFolder(RunContext& cx) {
    bool profile = cx.host.IsNtFamily() && !cx.host.IsAdministrator();
    return (profile ? cx.host.ProfileFolder() : cx.host.ProgramFilesFolder()) + cx.title + "\\";
}

// The text between the first double quote and the next one, or the value
// from its start when it has no quotes.
std::string UnquotedCommand(std::string value) {
    std::size_t first = value.find('"');
    if (first != std::string::npos) value.erase(first, 1);
    std::size_t next = value.find('"');
    if (next != std::string::npos) value.erase(next);
    return value;
}

std::string FileNameOf(const std::string& path) {
    std::size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    std::size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void DetectProductState(RunContext& cx) {
    bool upgrade = false, maintenance = false;
    try {
        if (cx.host.ProductIsInstalled(cx.productCode)) {
            auto packageCode = cx.host.InstalledPackageCode(cx.productCode);
            upgrade = packageCode && !EqualsIgnoreCaseAscii(*packageCode, cx.revisionCode);
            maintenance = !upgrade;
        }
    } catch (const std::exception&) {
        // Without Windows Installer there is nothing to maintain or upgrade.
    }
    cx.vars.Define("NEEDSUPGRADE", BoolText(upgrade), kBootstrap);
    cx.vars.Define("MAINTENANCE", BoolText(maintenance), kBootstrap);
}

void BuildLabelTable(RunContext& cx) {
    cx.labels.clear();
    const SetupScript& s = cx.script;
    for (std::size_t i = 0; i < s.commandCount(); ++i) {
        if (s.commandNames[i] != "Label") continue;
        std::string id = i < s.commandIds.size() ? s.commandIds[i] : std::string();
        cx.labels.push_back({UpperAscii(GetParameter(s.parameters, id, 1)), i});
    }
}

}  // namespace

bool StartSession(RunContext& cx) {
    const StartupValues& st = cx.startup;
    const CommandLine& cl = st.commandLine;
    cx.silent = cl.silent;
    cx.logPath = cl.logPath;
    std::vector<std::string> presetNames;
    for (const auto& p : cl.presets) presetNames.push_back(UpperAscii(p.first));
    cx.vars.Clear();
    cx.vars.SetPresetProtection(presetNames, cx.silent);

    cx.productCode = cx.script.productCode;
    cx.revisionCode = cx.script.revisionCode;
    cx.title = cx.script.title;
    bool allUsers = AllUsersDefault(cx);
    cx.vars.Define("TARGETDIR", "", kPreInit);
    cx.vars.Define("STARTMENU", cx.title, kPreInit);
    cx.vars.Define("ALLUSERS", BoolText(allUsers), kPreInit);

    auto instance = cx.host.ReadTextFile(st.setupFolder + "instance.dat");
    if (instance) {
        InstanceFields f = ParseInstanceText(*instance);
        cx.productCode = f.productCode;
        cx.revisionCode = f.revisionCode;
        cx.title = f.title;
    }
    cx.vars.Define("PRODUCTCODE", cx.productCode, kBootstrap);
    cx.vars.Define("REVISIONCODE", cx.revisionCode, kBootstrap);
    cx.vars.Define("DATADIR", cx.script.mediaMode == 2 ? ProductCacheFolder(cx, allUsers) : st.setupFolder + "data\\",
                   kBootstrap);
    DetectProductState(cx);

    bool maintenance = IsTrueText(cx.vars.Get("MAINTENANCE"));
    if (!maintenance) {
        cx.vars.Define("TARGETDIR", DefaultTargetFolder(cx), kBootstrap);
        cx.vars.Define("STARTMENU", cx.title, kBootstrap);
        cx.vars.Define("ALLUSERS", BoolText(allUsers), kBootstrap);
    }

    cx.vars.Define("NEWINSTANCE", "FALSE", kInit);
    if (!instance && (maintenance || IsTrueText(cx.vars.Get("NEEDSUPGRADE")))) cx.vars.Set("NEWINSTANCE", "TRUE", kInit);

    BuildLabelTable(cx);

    std::string patchPath = st.databasePath;
    std::size_t dot = patchPath.find_last_of('.');
    if (dot != std::string::npos && patchPath.find_first_of("\\/", dot) == std::string::npos) patchPath.erase(dot);
    patchPath += ".msp";
    if (!cx.host.FileExists(st.databasePath) && !cx.host.FileExists(patchPath)) return false;

    std::string owner = cx.host.RegisteredOwner();
    std::string organization = cx.host.RegisteredOrganization();
    std::string sfxFolder = cl.sfxPath.empty() ? std::string() : FolderOf(cl.sfxPath);
    std::string sfxFile = cl.sfxPath.empty() ? std::string() : FileNameOf(cl.sfxPath);
    const std::pair<const char*, std::string> initial[] = {
        {"SELECTED", "0"},
        {"WINDOWHANDLE", "0"},
        {"EXEFILE", st.exePath},
        {"EXEDIR", st.setupFolder},
        {"PROGRESSTEXT", ""},
        {"PROGRESSMODE", ""},
        {"ABORT", "FALSE"},
        {"PROGRESS", "0"},
        {"LASTERROR", ""},
        {"LICENSE", "FALSE"},
        {"USERNAME", owner},
        {"USERCOMPANY", organization},
        {"REBOOTCOMPUTER", "FALSE"},
        {"RUNAPP", "TRUE"},
        {"WIZARD", "NEXT"},
        {"VERSION", st.version},
        {"SILENT", BoolText(cx.silent)},
        {"LOGGED", cl.logPath},
        {"CMDLINE", cl.tail},
        {"SFXPATH", sfxFolder},
        {"SFXFILE", sfxFile},
        {"COMPLETE", "TRUE"},
        {"MINIMUM", "FALSE"},
        {"PERSONALIZED", "FALSE"},
        {"MODIFY", "TRUE"},
        {"REPAIR", "FALSE"},
        {"REMOVE", "FALSE"},
        {"ROOTDIR", st.setupFolder},
        {"TITLE", cx.title},
        {"COMPANY", cx.script.publisher},
        {"ADVERTISE", "FALSE"},
        {"DATE", cx.host.ShortDateText()},
        {"TIME", cx.host.LongTimeText()},
        {"TEMPDIR", st.tempFolder},
        {"SUPPORTDIR", st.workspace},
        {"MSIFILE", st.databasePath},
    };
    for (const auto& [name, value] : initial) cx.vars.Define(name, value, kInit);

    // A resumed run removes its resume entry, so it triggers exactly once.
    std::string resume = ResumeEntryName(cx.productCode);
    cx.host.DeleteRunEntry(false, resume);
    cx.host.DeleteRunEntry(true, resume);

    cx.vars.Define("LANGUAGE", "", kInit);

    for (const auto& [name, value] : cl.presets) {
        std::string upper = UpperAscii(name);
        if (cx.vars.Exists(upper))
            cx.vars.Set(upper, value, kInjectOverrideSource);
        else
            cx.vars.Define(upper, value, kInjectOverrideSource);
    }
    return true;
}

void RefreshPerCommandVariables(RunContext& cx) {
    cx.logPath = cx.vars.Get("LOGGED");
    cx.silent = IsTrueText(cx.vars.Get("SILENT"));
    cx.vars.SetSilent(cx.silent);
    cx.vars.Define("DATE", cx.host.ShortDateText(), kInit);
    cx.vars.Define("TIME", cx.host.LongTimeText(), kInit);
    cx.vars.Define("LANGUAGE", cx.vars.Get("LANGUAGE"), kInit);

    std::string link;
    bool allUsers = IsTrueText(cx.vars.Get("ALLUSERS"));
    if (cx.script.mediaMode == 3) {
        std::string title = cx.vars.Get("TITLE");
        link = UnquotedCommand(cx.host.UninstallString(title, allUsers || !cx.host.IsNtFamily()));
    } else {
        link = ProductCacheFolder(cx, allUsers) + FileNameOf(cx.startup.exePath);
    }
    cx.vars.Define("UNINSTALLLINK", link, kInit);
}

}  // namespace qv
