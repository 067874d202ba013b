#pragma once
// Runs scripts through the real engine with the component commands and the
// deferred file commands against a fake host, and keeps what they left: the
// recorded installer properties, the parameter log and the components.
#include <string>
#include <utility>
#include <vector>

#include "actions/deferred_file_commands.h"
#include "engine/core_commands.h"
#include "engine/control_flow.h"
#include "engine/script_engine.h"
#include "fake_host.h"
#include "installer/component_commands.h"

namespace qv::testing {

struct ActionRun {
    FakeHost host;
    Trace trace;
    std::vector<DeferredProperty> properties;
    std::vector<std::string> parameterLog;
    ComponentTable components;
    std::vector<ComponentSize> sizes;
    std::int64_t baseline = 0;
    std::vector<std::pair<std::string, std::string>> variables;
    bool ended = false;

    explicit ActionRun(const SetupScript& script, FakeHost start = {}, MediaFetcher fetch = {},
                       const std::string& commandLine = "setup.exe")
        : host(std::move(start)) {
        StartupValues v = TestStartupValues(commandLine);
        host.files[v.databasePath] = "";
        RunContext cx(script, v, host, trace);
        CommandTable table;
        RegisterCoreCommands(table);
        RegisterControlFlowCommands(table);
        RegisterComponentCommands(table);
        RegisterDeferredFileCommands(table, std::move(fetch));
        RunScript(cx, table);
        properties = cx.records.properties;
        parameterLog = cx.records.parameterLog;
        components = cx.components;
        sizes = cx.componentSizes;
        baseline = cx.selectionBaseline;
        variables = cx.vars.Snapshot();
        ended = cx.ended;
    }

    std::string var(const std::string& name) const {
        for (const auto& [n, v] : variables)
            if (n == name) return v;
        return "<undefined>";
    }
    // The value that wins for a property: the last one recorded.
    std::string property(const std::string& name) const {
        std::string value = "<none>";
        for (const auto& p : properties)
            if (p.name == name) value = p.value;
        return value;
    }
};

}  // namespace qv::testing
