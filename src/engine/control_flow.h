// Block structure: If chains, the Wizard Loop driven by page results, and
// GoTo Label. The command loop asks here where execution goes next.
#pragma once

#include <string>
#include <vector>

#include "wizard/page_host.h"

namespace qv {

class RunContext;
class CommandTable;
struct ScriptCommand;

enum class SkipMode {
    None,
    ToNextBranch,  // a condition was false: up to the next Else If, Else or End of the chain
    ToEnd,         // a branch has run: up to the chain's End
};

enum class BlockKind { IfChain, WizardLoop };

struct BlockState {
    SkipMode skip = SkipMode::None;
    bool closeChainAtEnd = false;   // the skip to End ends a chain that is open
    bool wizardActive = false;
    int direction = +1;             // Next +1, Back -1, Leave 0
    bool evaluateElseIf = false;    // the Else If at pc was reached by a skip
    std::vector<BlockKind> open;    // innermost last
};

// Loop step "apply the block state": finishes a pending skip, steps a Wizard
// Loop, or advances to the next command that counts.
void NextCommand(RunContext& cx);

// A page reports its result to the enclosing Wizard Loop.
void ReportPageResult(RunContext& cx, PageOutcome result);

// Registers If, Else If, Else, End, Wizard Loop, GoTo Label.
void RegisterControlFlowCommands(CommandTable& table);

// The comparison of If and Else If, on values already read.
bool CompareValues(const std::string& left, const std::string& op, const std::string& right);

}  // namespace qv
