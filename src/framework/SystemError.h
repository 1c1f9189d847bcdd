// The system's own text for an error code (GetLastError and the like).
#pragma once

#include <windows.h>

#include <string>

// The message the system has for `code`, without its trailing line break;
// empty for 0 or a code the system has no text for.
std::wstring SystemErrorText(DWORD code);
// The same, or "Error <code>" when the system has no text, for messages that
// must name a reason.
std::wstring SystemErrorReason(DWORD code);
