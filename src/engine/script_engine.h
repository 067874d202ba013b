// The interpreter: validation, session start, the command loop and dispatch.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/run_context.h"

namespace qv {

using CommandHandler = std::function<void(RunContext&, const ScriptCommand&)>;

// Command names (exact, case-sensitive) to their handlers. A name without a
// handler does nothing when it runs.
class CommandTable {
public:
    void Add(const std::string& name, CommandHandler handler) { handlers_[name] = std::move(handler); }
    const CommandHandler* Find(const std::string& name) const {
        auto it = handlers_.find(name);
        return it == handlers_.end() ? nullptr : &it->second;
    }

    // Runs a command whose name is in the script's plug-in list.
    CommandHandler plugin;
    // Clean-up after the last command, a termination or a runtime error.
    std::vector<std::function<void(RunContext&)>> atRunEnd;

private:
    std::map<std::string, CommandHandler> handlers_;
};

// Runs the script to its end. Returns whatever the reason it ended; never
// ends the process. The exit code is left in the context.
void RunScript(RunContext& context, const CommandTable& commands);

}  // namespace qv
