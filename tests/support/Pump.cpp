#include "support/Pump.h"

#include <algorithm>

#include "framework/ModalLoop.h"
#include "support/Stopwatch.h"

namespace {
bool Matches(const MessageWatch* watch, const MSG& msg) {
    return watch && msg.hwnd == watch->hwnd && msg.message == watch->message &&
           (watch->wParam == MessageWatch::kAnyWParam || msg.wParam == watch->wParam);
}
}  // namespace

void DispatchLikeTheProgram(MSG& msg) {
    // The program's loop is its main window's modal loop: the dialog keyboard
    // handling it gives is that of an unowned top-level window. An owned window
    // (a modeless dialog) gets its keys only through the windows' pre-translation.
    HWND root = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (root && ::GetWindow(root, GW_OWNER))
        root = nullptr;
    CModalLoop::Dispatch(msg, root);
}

void PumpPending(MessageWatch* watch) {
    MSG msg;
    // The bound keeps a window that never validates its paint from holding the pump.
    for (int i = 0; i < 10000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (!Matches(watch, msg)) {
            DispatchLikeTheProgram(msg);
            continue;
        }
        const Stopwatch dispatch;
        DispatchLikeTheProgram(msg);
        watch->lastMs = dispatch.ElapsedMs();
        ++watch->seen;
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, MessageWatch* watch) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        PumpPending(watch);
        if (done())
            return true;
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return done();
        // Wakes as soon as a message (a timer's, say) arrives.
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(timeoutMs - elapsed, 10), QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}
