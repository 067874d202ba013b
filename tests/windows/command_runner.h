// Runs single commands of the stub's families against the real system: a
// script of the given commands, a context over the Windows host, and each
// command dispatched in order without the session start.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "../native/script_builder.h"
#include "bootstrap/win_host.h"
#include "engine/script_engine.h"

namespace qv::testing {

class CommandRunner {
public:
    CommandRunner(const SetupScript& script, const std::string& exePath, const CommandTable& table)
        : script_(script), context_(script_, Startup(exePath), host_, trace_), table_(table) {}

    RunContext& context() { return context_; }

    // Runs every command of the script once, in order.
    void RunAll() {
        for (std::size_t i = 0; i < script_.commandCount(); ++i) {
            ScriptCommand c = script_.command(i);
            context_.pc = i + 1;
            if (const CommandHandler* h = table_.Find(c.name)) (*h)(context_, c);
        }
    }
    std::string var(const std::string& name) const {
        return context_.vars.Exists(name) ? context_.vars.Get(name) : "<undefined>";
    }

private:
    static StartupValues Startup(const std::string& exePath) {
        StartupValues v;
        v.exePath = exePath;
        std::size_t slash = exePath.rfind('\\');
        v.setupFolder = exePath.substr(0, slash + 1);
        std::string file = exePath.substr(slash + 1);
        v.setupName = file.substr(0, file.rfind('.'));
        return v;
    }

    SetupScript script_;
    win::WinHost host_;
    Trace trace_;
    RunContext context_;
    const CommandTable& table_;
};

}  // namespace qv::testing
