// Opens a real popup menu (TrackPopupMenu) the way a user's click would, and
// drives it while it is open. The system runs its own loop until the menu
// ends, so the test's steps run from a thread timer inside that loop: `step`
// is called every 10 ms with the popup window once it shows, until it returns
// true; then the menu is ended (EndMenu), unless a step ended it. A menu that
// does not show or end within the time-out is ended, so a test never hangs.
#pragma once

#include <windows.h>

#include <functional>

struct PopupRun {
    bool shown = false;     // a popup window showed
    bool timedOut = false;  // the time-out ended the menu
    UINT command = 0;       // the command chosen (TPM_RETURNCMD), 0 for none
};

using PopupStep = std::function<bool(HWND popup, int tick)>;

PopupRun OpenPopupMenu(HWND owner, HMENU menu, const PopupStep& step, DWORD timeoutMs = 5000);

// The visible popup menu window ("#32768") of this thread, or null.
HWND FindPopupMenuWindow();
