#pragma once
// Runs scripts through the real engine against a fake host. Test commands:
// "Record" logs its expanded parameter 1, "Fail" raises a script error, and
// "Display Dialog" stands in for a page: it logs its dialog name and reports
// the next scripted page result (a dialog named "hidden..." is passed over
// without a result, as a page whose show condition is false).
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "common/errors.h"
#include "engine/control_flow.h"
#include "engine/core_commands.h"
#include "engine/termination.h"
#include "engine/value_commands.h"
#include "engine/script_engine.h"
#include "fake_host.h"

namespace qv::testing {

struct EngineRun {
    FakeHost host;
    Trace trace;
    std::vector<std::string> recorded;
    std::deque<PageOutcome> pageResults;
    int exitCode = 0;
    std::vector<std::pair<std::string, std::string>> variables;

    explicit EngineRun(const SetupScript& script, const std::string& commandLine = "setup.exe",
                       bool databasePresent = true, std::deque<PageOutcome> pages = {}, FakeHost start = {})
        : host(std::move(start)), pageResults(std::move(pages)) {
        StartupValues v = TestStartupValues(commandLine);
        if (databasePresent) host.files[v.databasePath] = "";
        RunContext cx(script, v, host, trace);
        CommandTable table;
        RegisterCoreCommands(table);
        RegisterControlFlowCommands(table);
        RegisterValueCommands(table);
        RegisterTerminationCommands(table);
        table.Add("Record", [this](RunContext& c, const ScriptCommand& cmd) { recorded.push_back(c.ParamText(cmd, 1)); });
        table.Add("Fail", [](RunContext&, const ScriptCommand&) { throw ScriptError("it broke"); });
        table.Add("Display Dialog", [this](RunContext& c, const ScriptCommand& cmd) {
            std::string name = c.Param(cmd, 1);
            if (name.rfind("hidden", 0) == 0) return;
            recorded.push_back(name);
            PageOutcome result = PageOutcome::Next;
            if (!pageResults.empty()) {
                result = pageResults.front();
                pageResults.pop_front();
            }
            ReportPageResult(c, result);
        });
        RunScript(cx, table);
        exitCode = cx.exitCode;
        variables = cx.vars.Snapshot();
    }

    std::string var(const std::string& name) const {
        for (const auto& [n, v] : variables)
            if (n == name) return v;
        return "<undefined>";
    }
};

}  // namespace qv::testing
