#include "engine/core_commands.h"

#include "common/text.h"

namespace qv {

void RunContext::SetResult(const std::string& name, const std::string& value, const ScriptCommand& c) {
    if (name.empty()) return;
    std::string source = c.name + " Action";
    if (!vars.Exists(name)) vars.Define(UpperAscii(name), "", source);
    vars.Set(name, value, source);
}

namespace {

// Parameter 1: the variable, bare or as a reference; parameter 2: the value.
void SetVariableCommand(RunContext& cx, const ScriptCommand& c) {
    std::string value = cx.ParamText(c, 2);
    if (auto translated = cx.Translation(c, 1)) value = cx.vars.ExpandText(*translated);
    std::string target = cx.Param(c, 1);
    std::string name = StripReference(target);
    cx.SetResult(name.empty() ? target : name, value, c);
}

}  // namespace

void RegisterCoreCommands(CommandTable& table) {
    table.Add("Set Variable", SetVariableCommand);
    table.Add("Comment", [](RunContext&, const ScriptCommand&) {});
    table.Add("Label", [](RunContext&, const ScriptCommand&) {});
}

}  // namespace qv
