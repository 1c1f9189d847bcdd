// The system's Font and Color dialogs as the Format menu shows them.
#pragma once

#include <windows.h>

// Shows the Font dialog (screen fonts, with underline and strike-out) starting
// from `font`. When the user confirms, `font` takes the choice and the result is
// true; the colour chosen there is not part of it (the text colour has a
// command of its own).
bool ChooseEditorFont(HWND owner, LOGFONTW& font);

// Shows the Color dialog starting from `colour`; when the user confirms,
// `colour` takes the choice and the result is true. The dialog's custom
// colours are kept for the program's run.
bool ChooseColour(HWND owner, COLORREF& colour);
