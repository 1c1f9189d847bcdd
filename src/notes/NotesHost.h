// What a notes session needs of the window it works for: its timers, its
// message boxes, asking for a note's name, and where the backup thread posts
// its result. The main window gives these (app/WindowNotesHost.h); the tests
// give a host of their own that answers as a user would.
#pragma once

#include <windows.h>

#include <string>

class NotesHost {
public:
    // The session's timers; the host maps them to its own timer ids and hands
    // each one back to the session when it fires. A timer is added here (and
    // handled in NotesSession::OnTimer), nowhere else: Count stays last.
    enum class Timer { DeferredSave, TypingPause, TypingLongest, ReadNoteAgain, CheckForChanges, Count };
    // A window and a message posted to it.
    struct PostTarget {
        HWND window;
        UINT message;
    };

    virtual ~NotesHost() = default;

    virtual void StartTimer(Timer timer, UINT ms) = 0;
    virtual void StopTimer(Timer timer) = 0;
    // A message box with the program's caption; returns the button chosen.
    virtual int Say(const std::wstring& text, UINT type) = 0;
    // A plain OK box with the system's own caption.
    virtual void SayUncaptioned(const std::wstring& text) = 0;
    // Asks for a name, starting from `initial`; false when the user cancelled.
    virtual bool AskName(const wchar_t* caption, const wchar_t* prompt, const std::wstring& initial,
                         std::wstring& name) = 0;
    // Where the backup thread posts its result (NotesSession::OnBackupDone takes it).
    virtual PostTarget BackupDoneTarget() const = 0;
};
