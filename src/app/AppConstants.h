// Identifiers the program's windows, timers and the single-instance protocol share.
#pragma once

#include <windows.h>

constexpr int HOTKEY_ID = 1;
constexpr UINT_PTR TIMER_DEFERRED_SAVE = 12;
constexpr UINT_PTR TIMER_HIDE_DELAY = 18;
// Typing is saved after a pause, and at least every so often while it goes on.
constexpr UINT_PTR TIMER_TYPING_PAUSE = 20;
constexpr UINT_PTR TIMER_TYPING_LONGEST = 21;
// A note another program kept from being read is tried again.
constexpr UINT_PTR TIMER_READ_NOTE_AGAIN = 22;
// While the window is shown, changes other copies made to the file are looked for.
constexpr UINT_PTR TIMER_CHECK_FOR_CHANGES = 23;

// Posted to the main window by the backup worker when a copy is done.
constexpr UINT WM_BACKUP_DONE = WM_APP + 20;

// The main window's title: a second start finds the running instance by it.
constexpr const wchar_t* kMainWindowTitle = L"Tallyleaf - Work faster.";
