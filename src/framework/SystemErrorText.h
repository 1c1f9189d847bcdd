// The system's own description of a Win32 error code, as the user reads it.
#pragma once

#include <windows.h>

#include <string>

// The text without its trailing line break; "Error <code>" when the system has none.
std::wstring SystemErrorText(DWORD error);
