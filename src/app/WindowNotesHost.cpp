#include "app/WindowNotesHost.h"

#include "app/AppConstants.h"
#include "dialogs/TextEntryDlg.h"
#include "framework/AppMessageBox.h"

bool WindowNotesHost::SessionTimer(UINT_PTR id, Timer& timer) {
    if (id < TIMER_NOTES_FIRST || id >= TimerId(Timer::Count))
        return false;
    timer = static_cast<Timer>(id - TIMER_NOTES_FIRST);
    return true;
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
