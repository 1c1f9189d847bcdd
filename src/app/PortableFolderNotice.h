// A portable copy whose folder can't be written (a write-protected stick, a
// read-only share): the user is told once, at start, before any save fails.
#pragma once

#include <windows.h>

// Tells the user when the program runs in portable mode from a folder it
// can't write to; says nothing otherwise.
void WarnIfPortableFolderIsReadOnly(HWND owner);
