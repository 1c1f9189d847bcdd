// The program's seams for its tests and its bench, all in one place. Each one
// lets a test stand in for something outside the program: the user's data
// folder, the shell, the notification area, the user's hand during a drag. The
// program itself never calls them; each is defined beside the state it sets.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "shell/ShellOpen.h"
#include "shell/TrayIcon.h"
#include "menus/NewMemDC.h"
#include "framework/OleDataSource.h"

namespace TestSeams {

// The data folder (configuration file, database, snippets) is `folder` from now
// on, instead of the user's application data folder (a portable copy still
// keeps its data in its own folder); an empty `folder` gives the choice back to
// the program (from its next start).
void SetDataFolder(const std::wstring& folder);

// The program looks for its portable-mode marker in `folder` (and, in portable
// mode, keeps its data there) from its next start, as if the exe stood there;
// an empty `folder` gives back the exe's own folder.
void SetProgramFolder(const std::wstring& folder);

// Typing is saved after a pause of `pauseMs` and at least every `longestMs`
// while it goes on (instead of 2 and 30 seconds).
void SetTypingSaveDelays(UINT pauseMs, UINT longestMs);

// Requests to open web pages go to `handler` instead of the shell, which would
// start the machine's browser; an empty handler gives them back to the shell.
void SetShellOpenHandler(ShellOpenHandler handler);

// Links look for winhlp32.exe's hand cursor at `path` instead of in the Windows
// folder; an empty path gives them back the real one.
void SetWinHelpPath(const std::wstring& path);

// `observer` sees every beep of a link that could not be opened (the beep
// still sounds), with its MessageBeep type.
void SetBeepObserver(std::function<void(UINT)> observer);

// `observer` sees every call to the notification area (the real call still
// happens) with its record and the shell's answer.
void SetTrayObserver(CTrayIcon::Observer observer);

// A drag started by the program asks `script`, not the mouse and the keys,
// whether to go on, drop or cancel (QueryContinueDrag).
inline void SetDragScript(COleDataSource::DragScript script) {
    COleDataSource::SetDragScript(std::move(script));
}

// Every off-screen surface the menus draw on fails to be made from now on
// (true), as when the system is out of GDI resources, or works again (false).
inline void SetMenuSurfacesFail(bool fail) {
    CNewMemDC::SetSurfacesFail(fail);
}

}  // namespace TestSeams
