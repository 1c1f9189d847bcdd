// The program's values under HKEY_CURRENT_USER: the launch counter
// (Software\Velmorand\Tallyleaf, value "runs") and the value "Tallyleaf" of
// Software\Microsoft\Windows\CurrentVersion\Run that starts the program with
// Windows. Every failure is silent.
#pragma once

#include <windows.h>

#include <string>

// Adds one to the value "runs" (0 when absent), creating the key when missing.
void IncrementLaunchCounter();

// Whether the Run value exists and reads as text (of at most 1000 bytes).
bool RunOnStartupIsSet();
// Sets the Run value to the program file's full path (no quotes, no
// arguments), creating the Run key when it is missing.
bool SetRunOnStartup();
bool ClearRunOnStartup();
