// The main window as the host of its notes session (notes/NotesHost.h): the
// session's timers are the window's (ids in AppConstants.h), its boxes and the
// name entry are owned by the window, and the backup thread posts
// WM_BACKUP_DONE to it.
#pragma once

#include "framework/Wnd.h"
#include "notes/NotesHost.h"

class WindowNotesHost : public NotesHost {
public:
    explicit WindowNotesHost(CWnd& window) : m_window(window) {}

    // The window's timer id of a session timer.
    static UINT_PTR TimerId(Timer timer);
    void StartTimer(Timer timer, UINT ms) override;
    void StopTimer(Timer timer) override;
    int Say(const std::wstring& text, UINT type) override;
    void SayUncaptioned(const std::wstring& text) override;
    bool AskName(const wchar_t* caption, const wchar_t* prompt, const std::wstring& initial,
                 std::wstring& name) override;
    PostTarget BackupDoneTarget() const override;

private:
    CWnd& m_window;
};
