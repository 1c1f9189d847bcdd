// Message pumping for tests: dispatches messages (through the windows'
// pre-translation, as the program's loops do) until a condition holds.
#pragma once

#include <windows.h>

#include <functional>

// Dispatches one message as the program's loops do: the windows' pre-translation,
// then the dialog manager, then the window.
void DispatchLikeTheProgram(MSG& msg);
// Pumps until `done` returns true or `timeoutMs` passes; returns done()'s last value.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
// Pumps whatever is waiting now (and what that posts), without waiting for more.
void PumpPending();
// Pumps for a while, for tests that prove something does NOT happen.
void PumpFor(DWORD ms);
