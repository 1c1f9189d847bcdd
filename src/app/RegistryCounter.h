// The launch counter under HKEY_CURRENT_USER\Software\Velmorand\Tallyleaf.
#pragma once

#include <windows.h>

// Adds one to the value "runs" (0 when absent), creating the key when missing.
// Every failure is silent.
void IncrementLaunchCounter();
// The counter's value, or 0 when it cannot be read.
DWORD ReadLaunchCounter();
