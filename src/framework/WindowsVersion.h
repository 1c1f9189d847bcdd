// What the system says it is. Asked once: the answer does not change while
// the program runs.
#pragma once

#include <windows.h>

struct WindowsVersion {
    DWORD major = 0;
    DWORD minor = 0;
    // Windows NT, 2000, XP and later, as opposed to Windows 95/98/Me.
    bool ntFamily = false;
};

const WindowsVersion& CurrentWindowsVersion();
