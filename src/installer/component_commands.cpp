#include "installer/component_commands.h"

#include "common/errors.h"
#include "common/text.h"

namespace qv {

namespace {

const char* kLoadSource = "LoadComponents";

// The component name of parameter 1: its translation when a language is
// active, expanded either way.
std::string ComponentName(RunContext& cx, const ScriptCommand& c) {
    return cx.vars.ExpandText(cx.TranslatedParam(c, 1, 1));
}

void DefineComponentCommand(RunContext& cx, const ScriptCommand& c) {
    std::string description = cx.vars.ExpandText(cx.TranslatedParam(c, 3, 2));
    cx.components.Define(ComponentName(cx, c), description, cx.ParamBool(c, 2), cx.componentSizes);
}

void SetComponentState(RunContext& cx, const ScriptCommand& c) {
    cx.components.SetState(cx.components.Position(ComponentName(cx, c)), cx.ParamBool(c, 2));
}

void GetComponentState(RunContext& cx, const ScriptCommand& c) {
    std::string result = cx.Param(c, 2);
    if (result.empty()) return;
    cx.SetResult(result, BoolText(cx.components.IsSelected(ComponentName(cx, c))), c);
}

void SetComponentSpaceCommand(RunContext& cx, const ScriptCommand& c) {
    SetComponentSpace(cx.components, cx.componentSizes, ComponentName(cx, c), cx.ParamText(c, 2));
}

void SaveFeatureSelections(RunContext& cx, const ScriptCommand& c) { SaveSelections(cx, cx.ParamPath(c, 1), false); }

void LoadFeatureSelections(RunContext& cx, const ScriptCommand& c) { LoadSelections(cx, cx.ParamPath(c, 1)); }

void IsMsiSetupInstalled(RunContext& cx, const ScriptCommand& c) {
    bool installed = cx.host.ProductIsInstalled(cx.ParamPath(c, 1));
    cx.SetResult(cx.Param(c, 2), BoolText(installed), c);
}

std::string DataFolder(RunContext& cx) {
    return cx.vars.Exists("DATADIR") ? cx.vars.Get("DATADIR") : cx.startup.setupFolder + "data\\";
}

}  // namespace

void SaveSelections(RunContext& cx, const std::string& path, bool forCache) {
    std::string targetDir = cx.vars.Get("TARGETDIR");
    std::string allUsers = cx.vars.Get("ALLUSERS");
    std::string startMenu = cx.vars.Get("STARTMENU");
    std::string shortData;
    if (forCache) shortData = cx.host.ShortPath(DataFolder(cx));
    cx.host.WriteTextFile(path, WriteFeatureSelection(cx.components, targetDir, allUsers, startMenu,
                                                      forCache ? &shortData : nullptr));
}

void LoadSelections(RunContext& cx, const std::string& path) {
    if (!cx.host.FileExists(path)) return;
    auto text = cx.host.ReadTextFile(path);
    if (!text) return;
    FeatureSelection loaded = ParseFeatureSelection(*text);
    ApplyLoadedStates(cx.components, loaded);
    cx.vars.Define("TARGETDIR", loaded.targetDir, kLoadSource);
    cx.vars.Define("ALLUSERS", loaded.allUsers, kLoadSource);
    cx.vars.Define("STARTMENU", loaded.startMenu, kLoadSource);
}

void RegisterComponentCommands(CommandTable& table) {
    table.Add("Define Component", DefineComponentCommand);
    table.Add("Set Component State", SetComponentState);
    table.Add("Get Component State", GetComponentState);
    table.Add("Set Component Space", SetComponentSpaceCommand);
    table.Add("Save Feature Selections", SaveFeatureSelections);
    table.Add("Load Feature Selections", LoadFeatureSelections);
    table.Add("Is MSI Setup Installed", IsMsiSetupInstalled);
}

}  // namespace qv
