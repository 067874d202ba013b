#include "engine/script_engine.h"

#include "common/errors.h"
#include "common/text.h"
#include "engine/session_start.h"
#include "engine/validate.h"
#include "wizard/message_table.h"

namespace qv {

namespace {

// Window messages are handled every this many commands, so a long script
// without pages keeps the start-up windows alive.
constexpr std::size_t kMessagePumpInterval = 314;

void ShowProgressChange(RunContext& cx) {
    if (cx.activePageWindow == 0) return;
    std::string text = cx.vars.Get("PROGRESSTEXT");
    std::string raw = cx.vars.Get("PROGRESS");
    auto position = ParseInt32(raw);
    if (!position) throw ScriptError("'" + raw + "' is not a valid integer value");
    if (text == cx.lastProgressText && *position == cx.lastProgress) return;
    cx.lastProgressText = text;
    cx.lastProgress = *position;
    cx.progress.Set(text, 0, 100, *position);
    if (!cx.silent) cx.host.WaitForMessage();
}

void ReportRuntimeError(RunContext& cx, const std::string& text) {
    cx.trace.Line("runtime error at command " + std::to_string(cx.pc) + ": " + text);
    if (cx.silent) return;
    cx.host.ShowError(MessageText(Msg::RuntimeErrorInScript) + "\r\rLine " + std::to_string(cx.pc) + ": " + text);
}

void RunLoop(RunContext& cx, const CommandTable& commands) {
    const SetupScript& s = cx.script;
    while (cx.pc < s.commandCount() && !cx.ended) {
        if (cx.pc % kMessagePumpInterval == 0) cx.host.ProcessMessages();
        RefreshPerCommandVariables(cx);
        NextCommand(cx);
        if (cx.pc > s.commandCount()) return;
        ScriptCommand command = s.command(cx.pc - 1);
        if (command.disabled) continue;
        cx.vars.Set("ABORT", BoolText(cx.cancelRequested.load()), "Cancel State");
        ShowProgressChange(cx);
        cx.trace.Line("run " + std::to_string(cx.pc) + " " + command.name);
        if (s.isPlugin(command.name)) {
            if (commands.plugin) commands.plugin(cx, command);
            continue;
        }
        if (const CommandHandler* handler = commands.Find(command.name)) (*handler)(cx, command);
    }
}

void TraceVariables(RunContext& cx) {
    if (!cx.trace.enabled()) return;
    // Passwords typed into a page stay out of the trace.
    for (const auto& [name, value] : cx.vars.Snapshot())
        cx.trace.Line("variable " + name + "=" +
                      (UpperAscii(name).find("PASSWORD") != std::string::npos ? std::string("***") : value));
}

}  // namespace

void RunScript(RunContext& cx, const CommandTable& commands) {
    if (auto failure = ValidateScript(cx.script)) {
        std::string name =
            failure->position < cx.script.commandNames.size() ? cx.script.commandNames[failure->position] : "";
        cx.trace.Line("validation failed at command " + std::to_string(failure->position + 1) + " (" + name +
                      "): " + failure->text);
        return;
    }
    cx.trace.Line("validation passed");
    try {
        if (StartSession(cx)) RunLoop(cx, commands);
    } catch (const std::exception& e) {
        ReportRuntimeError(cx, e.what());
    }
    TraceVariables(cx);
    for (const auto& finish : commands.atRunEnd) finish(cx);
}

}  // namespace qv
