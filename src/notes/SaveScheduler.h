// SaveScheduler: when the texts that wait to be written are written. It owns
// the saves that wait (DeferredSave), their timer, the back-off of retries
// after a failure and the one report of failures, the timers that save typing
// after a pause, and the recovery files that take what can't be written when
// the file must be let go of. How one save is written (checked against the
// file, a conflict note when another copy changed the note) is its owner's,
// handed to it as a function.
//
// Its state is one of:
//   Idle      nothing waits;
//   Deferred  the save of a note just left waits for the short timer;
//   Retrying  a save failed: what waits is tried again, less often each time,
//             and the user was told once.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "notes/NotesHost.h"
#include "storage/CppSQLite3Exception.h"
#include "storage/DeferredSave.h"

class SaveScheduler {
public:
    enum class State { Idle, Deferred, Retrying };
    // Writes one waiting save; throws CppSQLite3Exception when it could not.
    using Write = std::function<void(const DeferredSave::Waiting&)>;

    // How long after leaving a note its text is written.
    static constexpr UINT kDeferredSaveMs = 200;

    // Typing is saved after a pause of `pauseMs`, and at least every
    // `longestMs` while it goes on.
    struct Timings {
        UINT pauseMs = 2000;
        UINT longestMs = 30000;
    };

    SaveScheduler(NotesHost& host, Timings typing) : m_host(host), m_typing(typing) {}
    explicit SaveScheduler(NotesHost& host) : SaveScheduler(host, Timings()) {}
    SaveScheduler(const SaveScheduler&) = delete;
    SaveScheduler& operator=(const SaveScheduler&) = delete;

    State Current() const { return m_state; }
    bool IsRetrying() const { return m_state == State::Retrying; }
    const DeferredSave& Waiting() const { return m_waiting; }

    // Keeps a text waiting without starting anything (a failed write, or one
    // that joins the saves waiting for their retry).
    void Keep(long long noteId, std::wstring text, int pos, const NotesStore::StoredText& stored);
    // A note just left: while nothing failed, what waits is written first and
    // the note's save waits for the short timer; while saves wait for their
    // retry, it joins them.
    void Defer(long long noteId, std::wstring text, int pos, const NotesStore::StoredText& stored,
               const std::function<bool()>& writeWaiting);
    // A newer text of the note was written, or the note is gone.
    void Forget(long long noteId);

    // Writes everything that waits with `write`, in the order it was recorded;
    // throws at the first failure, which keeps that save and those after it waiting.
    void WriteAll(const Write& write);
    // A write failed: it is tried again after a second, then less often, and
    // the user is told once with `failurePrefix` (not while `quiet`: the write
    // only waits for another step of the program).
    void Failed(const wchar_t* failurePrefix, const CppSQLite3Exception& e, bool quiet);
    // Everything that waited was written.
    void Succeeded();
    // The saves' timer fired: it stops until something starts it again.
    // Whether this is a retry after a failure.
    bool TimerFired();

    // Typing: saved after a pause, and at least every so often while it goes on.
    void Typed();
    void StopTyping();

    // Writes every waiting text into a recovery file, forgets it, and tells
    // the user where, after `why`; `nameOf` names a note.
    void KeepInRecoveryFiles(const std::wstring& why, const std::wstring& dbPath,
                             const std::function<std::wstring(long long noteId)>& nameOf);

private:
    NotesHost& m_host;
    const Timings m_typing;
    DeferredSave m_waiting;
    State m_state = State::Idle;
    // While Retrying: how long until the next try.
    UINT m_retryMs = 0;
    // Whether the user was told of the failures that wait (once until they are written).
    bool m_reported = false;
    // Whether typing since the last save waits for the typing timers.
    bool m_typingUnsaved = false;
};
