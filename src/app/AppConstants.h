// Identifiers the program's windows, timers and the single-instance protocol share.
#pragma once

#include <windows.h>

constexpr int HOTKEY_ID = 1;
constexpr UINT_PTR TIMER_HIDE_DELAY = 18;
// The search in all notes reads the stored texts ahead of its first use.
constexpr UINT_PTR TIMER_WARM_SEARCH = 19;
// The notes session's timers take the ids from here on, one for each of
// NotesHost::Timer (app/WindowNotesHost.h).
constexpr UINT_PTR TIMER_NOTES_FIRST = 100;

// Posted to the main window by the backup worker when a copy is done.
constexpr UINT WM_BACKUP_DONE = WM_APP + 20;
// Posted to the main window by the search worker when the stored texts were read ahead.
constexpr UINT WM_SEARCH_WARMED = WM_APP + 21;

// The main window's title: a second start finds the running instance by it.
constexpr const wchar_t* kMainWindowTitle = L"Tallyleaf - Work faster.";
