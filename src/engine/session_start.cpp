#include "engine/session_start.h"

#include "common/text.h"
#include "engine/termination.h"
#include "wizard/language_selection.h"

namespace qv {

namespace {

const char* kPreInit = "Pre-Initialization";
const char* kBootstrap = "Bootstrap";
const char* kInit = "Initialization";

bool AllUsersDefault(RunContext& cx) { return cx.host.IsNtFamily() && cx.host.IsAdministrator(); }

// The text between the first double quote and the next one, or the value
// from its start when it has no quotes.
std::string UnquotedCommand(std::string value) {
    std::size_t first = value.find('"');
    if (first != std::string::npos) value.erase(first, 1);
    std::size_t next = value.find('"');
    if (next != std::string::npos) value.erase(next);
    return value;
}

std::string ProductCacheFolder(RunContext& cx, bool allUsers, const std::string& revisionCode) {
    return cx.host.ApplicationDataRoot(allUsers) + revisionCode + "\\";
}

std::string ProductCacheFolder(RunContext& cx, bool allUsers) { return ProductCacheFolder(cx, allUsers, cx.revisionCode); }

// The saved state of an installed revision: the current user's cache when it
// holds the selection file, else the all-users cache. Restores the components
// and their selection, TARGETDIR, ALLUSERS and STARTMENU, adds the selected
// sizes to the baseline, and loads the saved parameter log.
void LoadCachedSelection(RunContext& cx, const std::string& revisionCode) {
    std::string selectionFile = cx.startup.setupName + ".dat";
    std::string folder = ProductCacheFolder(cx, false, revisionCode);
    if (!cx.host.FileExists(folder + selectionFile)) folder = ProductCacheFolder(cx, true, revisionCode);
    if (auto text = cx.host.ReadTextFile(folder + selectionFile)) {
        FeatureSelection f = ParseFeatureSelection(*text);
        for (std::size_t i = 0; i < f.names.size(); ++i)
            cx.components.AppendLoaded(f.names[i], i < f.states.size() ? f.states[i] : std::string());
        cx.vars.Define("TARGETDIR", f.targetDir, "LoadComponents");
        cx.vars.Define("ALLUSERS", f.allUsers, "LoadComponents");
        cx.vars.Define("STARTMENU", f.startMenu, "LoadComponents");
        for (std::size_t i = 0; i < f.names.size(); ++i)
            if (i < f.states.size() && IsTrueText(f.states[i]))
                cx.selectionBaseline += ComponentBytes(cx.components, cx.componentSizes, f.names[i]);
    }
    if (auto log = cx.host.ReadTextFile(folder + cx.startup.setupName + ".par")) cx.records.parameterLog = SplitLines(*log);
}

// The revision code of the installed product, from the folder of its
// registered uninstaller.
std::string InstalledRevisionCode(RunContext& cx) {
    std::string command = cx.host.UninstallString(cx.title, false);
    if (command.empty()) command = cx.host.UninstallString(cx.title, true);
    std::string path = UnquotedCommand(command);
    std::size_t file = path.find_last_of('\\');
    if (file == std::string::npos) return {};
    std::string folder = path.substr(0, file);
    std::size_t name = folder.find_last_of('\\');
    return name == std::string::npos ? folder : folder.substr(name + 1);
}

std::string DefaultTargetFolder(RunContext& cx) {
    bool profile = cx.host.IsNtFamily() && !cx.host.IsAdministrator();
    return (profile ? cx.host.ProfileFolder() : cx.host.ProgramFilesFolder()) + cx.title + "\\";
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
    cx.components.Clear();
    cx.componentSizes = cx.script.componentSizes;
    cx.records = InstallerRecords();
    cx.vars.Define("DATADIR", cx.script.mediaMode == 2 ? ProductCacheFolder(cx, allUsers) : st.setupFolder + "data\\",
                   kBootstrap);
    DetectProductState(cx);

    cx.selectionBaseline = 0;
    bool maintenance = IsTrueText(cx.vars.Get("MAINTENANCE"));
    if (maintenance) {
        LoadCachedSelection(cx, cx.revisionCode);
    } else {
        cx.components.Clear();
        cx.components.Define(kPredefinedComponent, "", true, cx.componentSizes);
        cx.records.parameterLog.clear();
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

    cx.components.Define(kPredefinedComponent, "", true, cx.componentSizes);
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

    if (cx.host.FileExists(patchPath)) LoadCachedSelection(cx, InstalledRevisionCode(cx));

    // A resumed run removes its resume entry, so it triggers exactly once.
    std::string resume = ResumeEntryName(cx.productCode);
    cx.host.DeleteRunEntry(false, resume);
    cx.host.DeleteRunEntry(true, resume);

    for (std::size_t i = 0; i < cx.script.commandCount(); ++i) {
        std::string key = cx.script.headerKey(i);
        if (key.empty()) continue;
        cx.records.RecordDeferredProperty("A" + key, "FALSE");
        cx.records.AppendParameterLog("A" + key, "FALSE");
    }

    if (!SelectLanguage(cx)) return false;

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
    LoadTranslations(cx);

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
