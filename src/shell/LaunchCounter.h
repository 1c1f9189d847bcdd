// The program's launch counter under HKEY_CURRENT_USER: the value "runs" of
// Software\Velmorand\Tallyleaf. Every failure is silent.
#pragma once

// Adds one to the value "runs" (0 when absent), creating the key when missing.
void IncrementLaunchCounter();
