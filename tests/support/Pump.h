// Message pumping for tests and the bench: dispatches messages as the
// program's loops do (CModalLoop::Dispatch) until a condition holds.
#pragma once

#include <windows.h>

#include <functional>

// One kind of message whose dispatches the pump counts and times (the bench
// times the deferred-save timer with it).
struct MessageWatch {
    // For `wParam`: the message whatever its wParam (any timer of the window).
    static constexpr WPARAM kAnyWParam = ~WPARAM(0);

    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    int seen = 0;
    double lastMs = 0;  // how long the last one took to dispatch
};

// Dispatches one message as the program's loops do: the windows' pre-translation,
// then the dialog keyboard handling of its top-level window when that is unowned
// (as the main window is), then the window.
void DispatchLikeTheProgram(MSG& msg);
// Pumps until `done` returns true or `timeoutMs` passes; returns done()'s last value.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000, MessageWatch* watch = nullptr);
// Pumps whatever is waiting now (and what that posts), without waiting for more.
void PumpPending(MessageWatch* watch = nullptr);
// Pumps for a while, for tests that prove something does NOT happen.
void PumpFor(DWORD ms);
