// Where the main window goes at start-up: its stored place, unless no screen
// shows it (a monitor since removed, a damaged configuration file).
#pragma once

#include <windows.h>

// `stored` as it is when some monitor shows part of it; otherwise moved into
// the work area of the monitor nearest to it, keeping its size where it fits.
RECT PlaceOnScreen(const RECT& stored);
