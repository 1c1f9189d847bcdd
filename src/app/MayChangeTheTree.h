// When other copies' changes may be brought into the notes tree.
#pragma once

#include <windows.h>

// Not under a box or a dialog of the window's, nor during a drag, whose note
// or item must not change under them (the next check comes a few seconds later).
inline bool MayChangeTheTree(HWND window) {
    return ::IsWindowEnabled(window) && ::GetCapture() == nullptr;
}
