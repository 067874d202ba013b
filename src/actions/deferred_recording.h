// How a deferred command records its work for the installer run: the
// activation property "A" + K and the value properties "P" + K + "_n", where
// K is the command's header key from the package. Every property goes into
// both the installer's property list and the parameter log.
#pragma once

#include <initializer_list>
#include <string>

#include "engine/run_context.h"

namespace qv {

// A value property: slot n of "P" + K + "_n" takes parameter `parameter`.
struct ValueSlot {
    int slot;
    int parameter;
};

// Records ("A" + K, "TRUE") for the command and returns K. Throws "Unable to
// obtain command headers. Please rebuild your project." for a command that
// the package gives no header key.
std::string RecordActivation(RunContext& context, const ScriptCommand& command);

// Records ("P" + K + "_" + slot, value).
void RecordValue(RunContext& context, const std::string& key, int slot, const std::string& value);

// Activation first, then each slot from its parameter's expanded path.
void RecordDeferredCommand(RunContext& context, const ScriptCommand& command, std::initializer_list<ValueSlot> slots);

}  // namespace qv
