// Where the main window goes at start-up: its stored place, unless that is not
// wholly on a screen (a monitor since removed, a configuration file edited by
// hand or written on another machine).
#pragma once

#include <windows.h>

// `stored` with its size at least `minimum` and at most the work area of the
// monitor nearest to it, moved as little as needed to lie wholly in that work area.
RECT PlaceOnScreen(const RECT& stored, SIZE minimum);
