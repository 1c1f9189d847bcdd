#include "app/WindowNotesHost.h"

#include "app/AppConstants.h"
#include "dialogs/TextEntryDlg.h"
#include "framework/AppMessageBox.h"

UINT_PTR WindowNotesHost::TimerId(Timer timer) {
    switch (timer) {
        case Timer::DeferredSave:
            return TIMER_DEFERRED_SAVE;
        case Timer::TypingPause:
            return TIMER_TYPING_PAUSE;
        case Timer::TypingLongest:
            return TIMER_TYPING_LONGEST;
        case Timer::ReadNoteAgain:
            return TIMER_READ_NOTE_AGAIN;
        case Timer::CheckForChanges:
            return TIMER_CHECK_FOR_CHANGES;
    }
    return 0;
}

void WindowNotesHost::StartTimer(Timer timer, UINT ms) {
    ::SetTimer(m_window.m_hWnd, TimerId(timer), ms, nullptr);
}

void WindowNotesHost::StopTimer(Timer timer) {
    ::KillTimer(m_window.m_hWnd, TimerId(timer));
}

int WindowNotesHost::Say(const std::wstring& text, UINT type) {
    return AppMessageBox(text, nullptr, type, m_window.m_hWnd);
}

void WindowNotesHost::SayUncaptioned(const std::wstring& text) {
    // A null caption: the system's default one shows.
    ::MessageBoxW(m_window.m_hWnd, text.c_str(), nullptr, MB_OK);
}

bool WindowNotesHost::AskName(const wchar_t* caption, const wchar_t* prompt, const std::wstring& initial,
                              std::wstring& name) {
    CTextEntryDlg entry;
    if (entry.Show(m_window.m_hWnd, caption, prompt, initial) != 1)
        return false;
    name = entry.GetText();
    return true;
}

NotesHost::PostTarget WindowNotesHost::BackupDoneTarget() const {
    return {m_window.m_hWnd, WM_BACKUP_DONE};
}
