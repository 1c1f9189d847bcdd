// The program's seams for its tests and its bench, found in one place. Each one
// lets a test stand in for something outside the program: the user's data
// folder, the shell, the notification area, the user's hand during a drag. The
// program itself never calls them; each is declared by the piece whose state it
// sets, and only forwarded here. How soon typing is saved is no seam: it is
// given to the main window when it is made (CTallyLeafDlg's constructor).
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "controls/HyperLink.h"
#include "framework/OleDataSource.h"
#include "menus/NewMemDC.h"
#include "settings/AppFolders.h"
#include "shell/ShellOpen.h"
#include "shell/TrayIcon.h"

namespace TestSeams {

// The data folder (configuration file, database, snippets) is `folder` from now
// on, instead of the user's application data folder (a portable copy still
// keeps its data in its own folder); an empty `folder` gives the choice back to
// the program (from its next start).
inline void SetDataFolder(const std::wstring& folder) {
    AppFolders::SetDataFolder(folder);
}

// The program looks for its portable-mode marker in `folder` (and, in portable
// mode, keeps its data there) from its next start, as if the exe stood there;
// an empty `folder` gives back the exe's own folder.
inline void SetProgramFolder(const std::wstring& folder) {
    AppFolders::SetProgramFolder(folder);
}

// Requests to open web pages go to `handler` instead of the shell, which would
// start the machine's browser; an empty handler gives them back to the shell.
inline void SetShellOpenHandler(ShellOpenHandler handler) {
    ::SetShellOpenHandler(std::move(handler));
}

// Links look for winhlp32.exe's hand cursor at `path` instead of in the Windows
// folder; an empty path gives them back the real one.
inline void SetWinHelpPath(const std::wstring& path) {
    CHyperLink::SetWinHelpPath(path);
}

// `observer` sees every beep of a link that could not be opened (the beep
// still sounds), with its MessageBeep type.
inline void SetBeepObserver(std::function<void(UINT)> observer) {
    CHyperLink::SetBeepObserver(std::move(observer));
}

// `observer` sees every call to the notification area (the real call still
// happens) with its record and the shell's answer.
inline void SetTrayObserver(CTrayIcon::Observer observer) {
    CTrayIcon::SetObserver(std::move(observer));
}

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
