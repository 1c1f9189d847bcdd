// The program's message boxes: the application's name is the caption when none
// is given, and the application's main window (if any) owns the box.
#pragma once

#include <windows.h>

#include <string>

// The program file's name without its extension ("tallyleaf").
const std::wstring& AppName();

int AppMessageBox(const std::wstring& text, const wchar_t* caption = nullptr, UINT type = MB_OK, HWND owner = nullptr);
