#include "actions/deferred_recording.h"

#include "common/errors.h"

namespace qv {

namespace {

void RecordProperty(RunContext& cx, const std::string& name, const std::string& value) {
    cx.records.RecordDeferredProperty(name, value);
    cx.records.AppendParameterLog(name, value);
    cx.trace.Line("deferred " + name + "=" + value);
}

}  // namespace

std::string RecordActivation(RunContext& cx, const ScriptCommand& c) {
    std::string key = cx.script.headerKey(std::size_t(c.position));
    if (key.empty()) throw ScriptError("Unable to obtain command headers. Please rebuild your project.");
    RecordProperty(cx, "A" + key, "TRUE");
    return key;
}

void RecordValue(RunContext& cx, const std::string& key, int slot, const std::string& value) {
    RecordProperty(cx, "P" + key + "_" + std::to_string(slot), value);
}

void RecordDeferredCommand(RunContext& cx, const ScriptCommand& c, std::initializer_list<ValueSlot> slots) {
    std::string key = RecordActivation(cx, c);
    for (const ValueSlot& s : slots) RecordValue(cx, key, s.slot, cx.ParamPath(c, s.parameter));
}

}  // namespace qv
