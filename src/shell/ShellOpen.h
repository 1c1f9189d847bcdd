// ShellOpen: the one way the program asks the shell to open something (a web
// page in the user's browser, a mail link), so that every such request can be
// watched in one place.
#pragma once

#include <windows.h>

#include <functional>

// The arguments ShellExecuteW takes; a null pointer is passed on as null.
struct ShellOpenRequest {
    HWND owner = nullptr;
    const wchar_t* verb = nullptr;
    const wchar_t* file = nullptr;
    const wchar_t* parameters = nullptr;
    const wchar_t* directory = nullptr;
    int show = SW_SHOWNORMAL;
};

// Hands the request to the shell; returns the shell's answer (above 32 is success).
HINSTANCE ShellOpen(const ShellOpenRequest& request);

// Answers a request in the shell's place.
using ShellOpenHandler = std::function<HINSTANCE(const ShellOpenRequest&)>;

// Requests go to `handler` instead of the shell, which would start the
// machine's browser; an empty handler gives them back to the shell.
void SetShellOpenHandler(ShellOpenHandler handler);
