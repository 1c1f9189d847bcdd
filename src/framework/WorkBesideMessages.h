// One long step of a loop that lets the messages through as it goes (the
// import's commit): it runs on a thread of its own while this thread goes on
// letting them through, so that the window keeps answering and drawing.
#pragma once

#include <windows.h>

#include <functional>

// Runs `work` on another thread and calls `meanwhile` (which pumps) whenever a
// message arrives and at least every `everyMs` until `work` ends; then throws
// again what `work` threw, on this thread. `meanwhile` must not throw.
void RunBesideMessages(const std::function<void()>& work, const std::function<void()>& meanwhile, DWORD everyMs = 10);
