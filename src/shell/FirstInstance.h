// CFirstInstance: lets only one process of the user's session be the first
// instance, the one with the main window. Looking for the running instance's
// window is not enough on its own: two starts at the same moment would each
// find no window and both become first. So the first instance also owns a
// mutex named in the session for as long as it runs; a start that cannot
// have it waits for the owner's window and calls that up instead.
#pragma once

#include <windows.h>

#include "framework/KernelHandle.h"

// The mutex's name ("Local\": one per log-on session; Windows 2000 without
// terminal services ignores the prefix).
constexpr const wchar_t* kFirstInstanceMutexName = L"Local\\Tallyleaf.FirstInstance";

class CFirstInstance {
public:
    CFirstInstance();
    // The first instance gives the mutex up as it ends.
    ~CFirstInstance();
    CFirstInstance(const CFirstInstance&) = delete;
    CFirstInstance& operator=(const CFirstInstance&) = delete;

    // Waits up to `ms` to become the first instance (also when the previous
    // owner ended without giving the mutex up); true once this process is.
    // Without a mutex (the system refused one) every start is first, as
    // without this guard.
    bool TryClaim(DWORD ms);

private:
    KernelHandle m_mutex;
    bool m_bOwned = false;
};
