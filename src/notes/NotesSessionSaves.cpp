// NotesSession's saves: the note shown written back, the saves that wait (the
// deferred save of a note just left, and every save that failed), typing saved
// after a pause, the one report of failures, and recovery files.
#include <algorithm>
#include <string>
#include <utility>

#include "notes/NotesSession.h"

namespace {
const wchar_t kSaveError[] = L"Tallyleaf error: Can't save note.\n - ";
const wchar_t kWaitingSaveError[] = L"Tallyleaf error 2: Can't save note.\n - ";
const wchar_t kExitError[] = L"Tallyleaf destroy error.\n - ";
}  // namespace

bool NotesSession::WriteShownNote(long long noteId, const wchar_t* failurePrefix) {
    // The editor's text belongs to the note it was loaded from, and to no other:
    // with no note shown (or another one) there is nothing to write.
    if (noteId == 0 || noteId != m_nShownNoteId)
        return true;
    m_saves.StopTyping();
    std::wstring text = m_editor.Text();
    const int pos = m_editor.Position();
    try {
        WriteChecked(noteId, text, pos, m_shownStored);
    } catch (const CppSQLite3Exception& e) {
        m_saves.Keep(noteId, std::move(text), pos, m_shownStored);
        SaveFailed(failurePrefix, e);
        return false;
    }
    // What waited for this note is older than what was just written.
    m_saves.Forget(noteId);
    if (!m_saves.Waiting().IsWaiting())
        m_saves.Succeeded();
    TellWhatSavesKept();
    return true;
}

void NotesSession::SaveShownNote() {
    // With no note shown the editor is read-only, and has nothing to write.
    if (!m_store.IsOpen() || m_nShownNoteId == 0)
        return;
    // Written, or else waiting: either way the edits are no longer unsaved.
    WriteShownNote(m_nShownNoteId, kSaveError);
    m_editor.SetModified(false);
}

void NotesSession::SaveOnExit() {
    m_saves.StopTyping();
    m_host.StopTimer(NotesHost::Timer::DeferredSave);
    // The note shown joins what waits (a note left just before the end), and
    // all of it is written, or kept in recovery files.
    const long long shown = m_tree.SelectedNoteId();
    if (shown != 0 && shown == m_nShownNoteId)
        m_saves.Keep(shown, m_editor.Text(), m_editor.Position(), m_shownStored);
    m_editor.SetModified(false);
    std::wstring failure;
    if (m_store.IsOpen()) {
        try {
            WriteWaitingChecked();
        } catch (const CppSQLite3Exception& e) {
            failure = e.Message();
        }
        // Compacting only gives back space: refused (another copy reads the
        // file), it is done at a later end, and nothing is lost meanwhile.
        try {
            if (m_bNoteDeleted && failure.empty())
                m_store.Vacuum();
        } catch (const CppSQLite3Exception&) {
        }
    }
    TellWhatSavesKept();
    if (m_saves.Waiting().IsWaiting())
        KeepInRecoveryFiles(kExitError + failure);
    else if (!failure.empty())
        m_host.Say(kExitError + failure, MB_OK | MB_ICONERROR);
}

bool NotesSession::WriteWaitingSaves() {
    if (!m_saves.Waiting().IsWaiting()) {
        m_saves.Succeeded();
        return true;
    }
    if (!m_store.IsOpen())
        return false;
    try {
        WriteWaitingChecked();
    } catch (const CppSQLite3Exception& e) {
        TellWhatSavesKept();
        SaveFailed(kWaitingSaveError, e);
        return false;
    }
    m_saves.Succeeded();
    TellWhatSavesKept();
    return true;
}

void NotesSession::WriteOrRecoverWaitingSaves() {
    m_host.StopTimer(NotesHost::Timer::DeferredSave);
    if (!m_saves.Waiting().IsWaiting())
        return;
    std::wstring failure;
    if (m_store.IsOpen()) {
        try {
            WriteWaitingChecked();
        } catch (const CppSQLite3Exception& e) {
            failure = e.Message();
        }
    }
    TellWhatSavesKept();
    if (m_saves.Waiting().IsWaiting())
        KeepInRecoveryFiles(kWaitingSaveError + failure);
    m_saves.Succeeded();
}

void NotesSession::SaveFailed(const wchar_t* failurePrefix, const CppSQLite3Exception& e) {
    // Waiting for the import is no failure the user needs to hear of.
    m_saves.Failed(failurePrefix, e, m_store.InTransaction());
}

void NotesSession::KeepInRecoveryFiles(const std::wstring& why) {
    m_saves.KeepInRecoveryFiles(why, m_strDbPath, [this](long long noteId) {
        HTREEITEM item = m_tree.FindNote(noteId);
        return item ? m_tree.Name(item) : L"Note " + std::to_wstring(noteId);
    });
}

void NotesSession::WriteDeferredSaves() {
    if (!m_saves.TimerFired()) {
        WriteWaitingSaves();
        return;
    }
    BriefBusyWait brief(m_store);
    WriteWaitingSaves();
}

void NotesSession::OnTyped() {
    if (m_nShownNoteId != 0)
        m_saves.Typed();
}

void NotesSession::SaveTyping() {
    m_saves.StopTyping();
    if (m_nShownNoteId == 0 || !m_editor.IsModified() || !m_store.IsOpen())
        return;
    if (m_saves.IsRetrying()) {
        // Failed saves wait for their retry: the typing joins them.
        m_saves.Keep(m_nShownNoteId, m_editor.Text(), m_editor.Position(), m_shownStored);
    } else {
        WriteShownNote(m_nShownNoteId, kSaveError);
    }
    m_editor.SetModified(false);
}
