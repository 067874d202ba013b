// The one pattern every long operation follows: the work runs on a worker
// thread while the main thread forwards progress, keeps windows alive and
// passes the user's cancel on, until the worker is done.
#pragma once

#include <functional>

#include "engine/run_context.h"

namespace qv::win {

// `work` runs on the worker thread. `eachTurn` runs on the main thread before
// every message it handles (forward progress, copy the cancel flag). In
// silent mode the main thread waits for the worker instead of handling
// window messages, still serving messages sent to it. LongOperationActive
// is set for the duration.
void RunLongOperation(RunContext& cx, const std::function<void()>& work, const std::function<void()>& eachTurn);

}  // namespace qv::win
