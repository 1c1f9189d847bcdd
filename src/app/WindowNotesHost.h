// The main window as the host of its notes session (notes/NotesHost.h): the
// session's timers are the window's (ids from TIMER_NOTES_FIRST on), its boxes and the
// name entry are owned by the window, and the backup thread posts
// WM_BACKUP_DONE to it.
#pragma once

#include "app/AppConstants.h"
#include "framework/Wnd.h"
#include "notes/NotesHost.h"

class WindowNotesHost : public NotesHost {
public:
    explicit WindowNotesHost(CWnd& window) : m_window(window) {}

    // The window's timer id of a session timer.
    static constexpr UINT_PTR TimerId(Timer timer) { return TIMER_NOTES_FIRST + static_cast<UINT_PTR>(timer); }
    // The session timer of a window's timer id; false when the id is none of the session's.
    static bool SessionTimer(UINT_PTR id, Timer& timer);
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
