#include "platform/long_operation.h"

#include <windows.h>

#include <atomic>
#include <exception>
#include <thread>

namespace qv::win {

void RunLongOperation(RunContext& cx, const std::function<void()>& work, const std::function<void()>& eachTurn) {
    std::atomic<bool> done{false};
    std::exception_ptr failure;
    DWORD mainThread = ::GetCurrentThreadId();
    cx.longOperationActive = true;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        done = true;
        // An empty message wakes the main thread.
        ::PostThreadMessageA(mainThread, WM_NULL, 0, 0);
    });
    while (!done) {
        eachTurn();
        if (done) break;
        if (cx.silent) {
            // Waits a moment, handling only messages sent to this thread.
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_SENDMESSAGE);
            MSG msg;
            ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        } else {
            cx.host.WaitForMessage();
        }
    }
    worker.join();
    cx.longOperationActive = false;
    if (failure) std::rethrow_exception(failure);
}

}  // namespace qv::win
