// The text of a window: a control's contents or a window's caption, of any
// length.
#pragma once

#include <windows.h>

#include <string>

// Empty when the window has no text or is no window.
std::wstring WindowText(HWND hwnd);
