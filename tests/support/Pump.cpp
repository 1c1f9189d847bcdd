#include "support/Pump.h"

#include "framework/Wnd.h"

void DispatchLikeTheProgram(MSG& msg) {
    if (CWnd::WalkPreTranslateTree(&msg))
        return;
    HWND top = msg.hwnd ? ::GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    if (top && ::IsDialogMessageW(top, &msg))
        return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

void PumpPending() {
    MSG msg;
    for (int i = 0; i < 10000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i)
        DispatchLikeTheProgram(msg);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        PumpPending();
        if (done())
            return true;
        DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return done();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, (timeoutMs - elapsed) < 10 ? (timeoutMs - elapsed) : 10,
                                    QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}
