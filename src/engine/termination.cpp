#include "engine/termination.h"

#include "common/text.h"

namespace qv {

namespace {

void TerminateInstall(RunContext& cx, const ScriptCommand&) { cx.ended = true; }

void TerminateWithExitCode(RunContext& cx, const ScriptCommand& c) {
    cx.exitCode = ParseInt32(cx.ParamText(c, 1)).value_or(0);
    cx.ended = true;
}

void RebootComputer(RunContext& cx, const ScriptCommand&) {
    cx.host.RequestRestart();
    cx.ended = true;
}

void RebootAndResume(RunContext& cx, const ScriptCommand&) {
    const CommandLine& cl = cx.startup.commandLine;
    bool machine = IsTrueText(cx.vars.Get("ALLUSERS"));
    cx.host.WriteRunEntry(machine, ResumeEntryName(cx.productCode),
                          ResumeCommand(cx.startup.exePath, cl.sfxPath, cl.tail));
    cx.host.RequestRestart();
    cx.ended = true;
}

}  // namespace

std::string ResumeEntryName(const std::string& productCode) {
    return productCode.size() > 1 ? productCode.substr(1, 8) : std::string();
}

std::string ResumeCommand(const std::string& exePath, const std::string& sfxPath, const std::string& tail) {
    std::string command = sfxPath.empty() ? exePath : sfxPath;
    if (!tail.empty()) command += " " + tail;
    return command;
}

void RegisterTerminationCommands(CommandTable& table) {
    table.Add("Terminate Install", TerminateInstall);
    table.Add("Terminate with Exit Code", TerminateWithExitCode);
    table.Add("Reboot Computer", RebootComputer);
    table.Add("Reboot and Resume", RebootAndResume);
}

}  // namespace qv
