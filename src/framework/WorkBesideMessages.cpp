#include "framework/WorkBesideMessages.h"

#include <exception>
#include <thread>

void RunBesideMessages(const std::function<void()>& work, const std::function<void()>& meanwhile, DWORD everyMs) {
    HANDLE done = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!done) {
        // Without an event to wait on, the work runs here: slower to answer, never lost.
        work();
        return;
    }
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        ::SetEvent(done);
    });
    for (;;) {
        const DWORD woke = ::MsgWaitForMultipleObjects(1, &done, FALSE, everyMs, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0)
            break;
        if (woke == WAIT_FAILED) {
            ::WaitForSingleObject(done, INFINITE);
            break;
        }
        meanwhile();
    }
    worker.join();
    ::CloseHandle(done);
    if (failure)
        std::rethrow_exception(failure);
}
