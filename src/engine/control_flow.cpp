#include "engine/control_flow.h"

#include "common/errors.h"
#include "common/text.h"
#include "engine/script_engine.h"

namespace qv {

namespace {

// Does the command at a 0-based position take part in block structure?
bool Counts(const ScriptCommand& c) { return !c.disabled && c.name != "Ignore"; }

bool IsOpener(const std::string& name) { return name == "If" || name == "Wizard Loop"; }

// A scan that runs past the command list: only a script whose End commands
// stand before the blocks they balance gets there.
ScriptCommand At(const RunContext& cx, long position) {
    if (position < 0 || std::size_t(position) >= cx.script.commandCount()) throw ListIndexError(position);
    return cx.script.command(std::size_t(position));
}

void Advance(RunContext& cx) {
    ++cx.pc;
    while (cx.pc <= cx.script.commandCount()) {
        ScriptCommand c = cx.script.command(cx.pc - 1);
        if (!c.disabled && c.name != "Ignore") return;
        ++cx.pc;
    }
}

void FinishSkip(RunContext& cx) {
    BlockState& b = cx.flow;
    SkipMode mode = b.skip;
    b.skip = SkipMode::None;
    int depth = 0;
    for (long pos = long(cx.pc);; ++pos) {  // cx.pc is 1-based: this starts after the current command
        ScriptCommand c = At(cx, pos);
        if (!Counts(c)) continue;
        if (IsOpener(c.name)) {
            ++depth;
        } else if (c.name == "End") {
            if (depth-- > 0) continue;
            if (b.closeChainAtEnd && !b.open.empty() && b.open.back() == BlockKind::IfChain) b.open.pop_back();
            b.closeChainAtEnd = false;
            cx.pc = std::size_t(pos) + 1;
            Advance(cx);
            return;
        } else if (mode == SkipMode::ToNextBranch && depth == 0 && (c.name == "Else" || c.name == "Else If")) {
            cx.pc = std::size_t(pos) + 1;
            if (c.name == "Else If") {
                b.evaluateElseIf = true;  // dispatched next, as the chain's next condition
                return;
            }
            b.open.push_back(BlockKind::IfChain);  // the Else branch runs
            Advance(cx);
            return;
        }
    }
}

// Moves forward to the next counting End of the loop; it closes the loop.
void LeaveWizardLoop(RunContext& cx, long from) {
    for (long pos = from;; ++pos) {
        ScriptCommand c = At(cx, pos);
        if (Counts(c) && c.name == "End") {
            cx.flow.wizardActive = false;
            cx.pc = std::size_t(pos) + 1;
            return;
        }
    }
}

void StepWizardLoop(RunContext& cx) {
    BlockState& b = cx.flow;
    if (b.direction == 0) return LeaveWizardLoop(cx, long(cx.pc));
    for (long pos = long(cx.pc) - 1 + b.direction;; pos += b.direction) {
        ScriptCommand c = At(cx, pos);
        if (!Counts(c)) continue;
        if (c.name == "Display Dialog") {
            cx.pc = std::size_t(pos) + 1;
            return;
        }
        if (c.name == "End") {
            b.wizardActive = false;
            cx.pc = std::size_t(pos) + 1;
            return;
        }
        if (c.name == "Wizard Loop") return LeaveWizardLoop(cx, pos + 1);
    }
}

void StartChain(RunContext& cx, bool condition) {
    if (condition) {
        cx.flow.open.push_back(BlockKind::IfChain);
    } else {
        cx.flow.skip = SkipMode::ToNextBranch;
        cx.flow.closeChainAtEnd = false;
    }
}

void BranchFinished(RunContext& cx) {
    bool chainOpen = !cx.flow.open.empty() && cx.flow.open.back() == BlockKind::IfChain;
    cx.flow.skip = SkipMode::ToEnd;
    cx.flow.closeChainAtEnd = chainOpen;
}

bool Condition(RunContext& cx, const ScriptCommand& c) {
    std::string p1 = cx.TranslatedParam(c, 1, 1);
    std::string p3 = cx.TranslatedParam(c, 3, 2);
    std::string leftName = StripReference(p1);
    std::string left = cx.vars.Get(leftName.empty() ? p1 : leftName);
    std::string rightName = StripReference(p3);
    std::string right = rightName.empty() ? p3 : cx.vars.Get(rightName);
    bool result = CompareValues(left, cx.Param(c, 2), right);
    return cx.ParamBool(c, 4) ? !result : result;
}

void IfCommand(RunContext& cx, const ScriptCommand& c) { StartChain(cx, Condition(cx, c)); }

void ElseIfCommand(RunContext& cx, const ScriptCommand& c) {
    bool chainOpen = !cx.flow.open.empty() && cx.flow.open.back() == BlockKind::IfChain;
    bool evaluate = cx.flow.evaluateElseIf || !chainOpen;
    cx.flow.evaluateElseIf = false;
    if (evaluate)
        StartChain(cx, Condition(cx, c));
    else
        BranchFinished(cx);
}

void EndCommand(RunContext& cx, const ScriptCommand&) {
    if (!cx.flow.open.empty()) cx.flow.open.pop_back();
}

void WizardLoopCommand(RunContext& cx, const ScriptCommand&) {
    cx.flow.wizardActive = true;
    cx.flow.direction = +1;
    cx.flow.open.push_back(BlockKind::WizardLoop);
}

void GoToLabelCommand(RunContext& cx, const ScriptCommand& c) {
    std::string label = UpperAscii(cx.Param(c, 1));
    for (const auto& entry : cx.labels) {
        if (entry.name != label) continue;
        cx.flow = BlockState();
        cx.pc = entry.position + 1;  // the next advance lands after the Label
        return;
    }
    throw ScriptError("LABEL undefined: " + label);
}

}  // namespace

bool CompareValues(const std::string& left, const std::string& op, const std::string& right) {
    auto l = ParseInt32(left), r = ParseInt32(right);
    bool numeric = l && r;
    if (op == "0") return numeric ? *l == *r : left == right;
    if (op == "1") return numeric ? *l == *r : (!right.empty() && left.find(right) != std::string::npos);
    if (op == "2") return numeric ? *l > *r : left.compare(right) > 0;
    return false;
}

void NextCommand(RunContext& cx) {
    if (cx.flow.skip != SkipMode::None) return FinishSkip(cx);
    if (cx.flow.wizardActive) return StepWizardLoop(cx);
    Advance(cx);
}

void ReportPageResult(RunContext& cx, PageOutcome result) {
    if (!cx.flow.wizardActive) return;
    if (result == PageOutcome::Next) cx.flow.direction = +1;
    else if (result == PageOutcome::Back) cx.flow.direction = -1;
    else if (result == PageOutcome::Cancel) cx.flow.direction = 0;
}

void RegisterControlFlowCommands(CommandTable& table) {
    table.Add("If", IfCommand);
    table.Add("Else If", ElseIfCommand);
    table.Add("Else", [](RunContext& cx, const ScriptCommand&) { BranchFinished(cx); });
    table.Add("End", EndCommand);
    table.Add("Wizard Loop", WizardLoopCommand);
    table.Add("GoTo Label", GoToLabelCommand);
}

}  // namespace qv
