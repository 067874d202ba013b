// The product's own copy of the setup, kept so that maintenance and removal
// can run without the original media, and its entry in the system's list of
// installed programs.
#pragma once

#include "engine/run_context.h"

namespace qv::win {

// install: copy the setup into the product cache and write the uninstall
// entry; remove: delete both. Both false does nothing.
void CacheAndRegisterProduct(RunContext& context, bool install, bool remove);

}  // namespace qv::win
