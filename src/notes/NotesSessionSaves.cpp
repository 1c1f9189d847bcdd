// NotesSession's saves: the note shown written back, the saves that wait (the
// deferred save of a note just left, and every save that failed), typing saved
// after a pause, the one report of failures, and recovery files.
#include <algorithm>
#include <string>
#include <utility>

#include "app/TestSeams.h"
#include "notes/NotesSession.h"
#include "notes/RecoveryFiles.h"
#include "settings/AppFolders.h"

namespace {
const wchar_t kSaveError[] = L"Tallyleaf error: Can't save note.\n - ";
const wchar_t kWaitingSaveError[] = L"Tallyleaf error 2: Can't save note.\n - ";
const wchar_t kExitError[] = L"Tallyleaf destroy error.\n - ";
const wchar_t kKeptForLater[] =
    L"\n\nNothing is lost: Tallyleaf keeps the text and saves it as soon as the database can be written.";

// A failed save is tried again after a second, then less often, but never
// more than a few seconds apart.
constexpr UINT kFirstRetryMs = 1000;
constexpr UINT kLongestRetryMs = 4000;

// Typing is saved after a pause of this long, and at least this often while it goes on.
UINT g_typingPauseMs = 2000;
UINT g_longestUnsavedTypingMs = 30000;
}  // namespace

void TestSeams::SetTypingSaveDelays(UINT pauseMs, UINT longestMs) {
    g_typingPauseMs = pauseMs;
    g_longestUnsavedTypingMs = longestMs;
}

bool NotesSession::WriteShownNote(long long noteId, const wchar_t* failurePrefix) {
    // The editor's text belongs to the note it was loaded from, and to no other:
    // with no note shown (or another one) there is nothing to write.
    if (noteId == 0 || noteId != m_nShownNoteId)
        return true;
    StopTypingSave();
    std::wstring text = m_editor.Text();
    const int pos = m_editor.Position();
    try {
        WriteChecked(noteId, text, pos, m_shownStored);
    } catch (const CppSQLite3Exception& e) {
        m_deferredSave.Record(noteId, std::move(text), pos, m_shownStored);
        SaveFailed(failurePrefix, e);
        return false;
    }
    // What waited for this note is older than what was just written.
    m_deferredSave.Forget(noteId);
    if (!m_deferredSave.IsWaiting())
        EndSaveFailures();
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
    StopTypingSave();
    m_host.StopTimer(NotesHost::Timer::DeferredSave);
    // The note shown joins what waits (a note left just before the end), and
    // all of it is written, or kept in recovery files.
    const long long shown = m_tree.SelectedNoteId();
    if (shown != 0 && shown == m_nShownNoteId)
        m_deferredSave.Record(shown, m_editor.Text(), m_editor.Position(), m_shownStored);
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
    if (m_deferredSave.IsWaiting())
        KeepInRecoveryFiles(kExitError + failure);
    else if (!failure.empty())
        m_host.Say(kExitError + failure, MB_OK | MB_ICONERROR);
}

bool NotesSession::WriteWaitingSaves() {
    if (!m_deferredSave.IsWaiting()) {
        EndSaveFailures();
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
    EndSaveFailures();
    TellWhatSavesKept();
    return true;
}

void NotesSession::WriteOrRecoverWaitingSaves() {
    m_host.StopTimer(NotesHost::Timer::DeferredSave);
    if (!m_deferredSave.IsWaiting())
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
    if (m_deferredSave.IsWaiting())
        KeepInRecoveryFiles(kWaitingSaveError + failure);
    EndSaveFailures();
}

void NotesSession::SaveFailed(const wchar_t* failurePrefix, const CppSQLite3Exception& e) {
    m_nRetryMs = m_nRetryMs == 0 ? kFirstRetryMs : std::min(m_nRetryMs * 2, kLongestRetryMs);
    m_host.StartTimer(NotesHost::Timer::DeferredSave, m_nRetryMs);
    // Waiting for the import is no failure the user needs to hear of.
    if (m_bSaveFailureReported || m_store.InTransaction())
        return;
    m_bSaveFailureReported = true;
    m_host.Say(failurePrefix + std::wstring(e.Message()) + kKeptForLater, MB_OK | MB_ICONERROR);
}

void NotesSession::EndSaveFailures() {
    m_nRetryMs = 0;
    m_bSaveFailureReported = false;
}

void NotesSession::KeepInRecoveryFiles(const std::wstring& why) {
    std::vector<UnsavedNote> notes;
    for (const DeferredSave::Waiting& save : m_deferredSave.All()) {
        HTREEITEM item = m_tree.FindNote(save.noteId);
        notes.push_back({item ? m_tree.Name(item) : L"Note " + std::to_wstring(save.noteId), save.text});
    }
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const std::vector<std::wstring> files = WriteRecoveryFiles(AppFolders::DataFolder(), notes, now);
    std::wstring list;
    for (size_t i = 0; i < files.size(); ++i)
        list += L"\n  " + (files[i].empty() ? L"(could not be written anywhere) " + notes[i].name : files[i]);
    m_deferredSave.Clear();
    m_host.Say(why + L"\n\nThe text that could not be saved into the database " + m_strDbPath +
                   L" is kept in these files:" + list,
               MB_OK | MB_ICONWARNING);
}

void NotesSession::StartDeferredSave(long long noteId) {
    // While failed saves wait for their retry, the note left joins them: trying
    // now would only hold the user up.
    const bool retrying = m_nRetryMs != 0;
    if (m_deferredSave.IsWaiting() && !retrying)
        WriteWaitingSaves();
    m_deferredSave.Record(noteId, m_editor.Text(), m_editor.Position(), m_shownStored);
    if (m_nRetryMs == 0)
        m_host.StartTimer(NotesHost::Timer::DeferredSave, kDeferredSaveMs);
}

void NotesSession::WriteDeferredSaves() {
    m_host.StopTimer(NotesHost::Timer::DeferredSave);
    if (m_nRetryMs == 0) {
        WriteWaitingSaves();
        return;
    }
    BriefBusyWait brief(m_store);
    WriteWaitingSaves();
}

void NotesSession::OnTyped() {
    if (m_nShownNoteId == 0)
        return;
    m_host.StartTimer(NotesHost::Timer::TypingPause, g_typingPauseMs);
    if (!m_bTypingUnsaved) {
        m_bTypingUnsaved = true;
        m_host.StartTimer(NotesHost::Timer::TypingLongest, g_longestUnsavedTypingMs);
    }
}

void NotesSession::SaveTyping() {
    StopTypingSave();
    if (m_nShownNoteId == 0 || !m_editor.IsModified() || !m_store.IsOpen())
        return;
    if (m_nRetryMs != 0) {
        // Failed saves wait for their retry: the typing joins them.
        m_deferredSave.Record(m_nShownNoteId, m_editor.Text(), m_editor.Position(), m_shownStored);
    } else {
        WriteShownNote(m_nShownNoteId, kSaveError);
    }
    m_editor.SetModified(false);
}

void NotesSession::StopTypingSave() {
    if (!m_bTypingUnsaved)
        return;
    m_bTypingUnsaved = false;
    m_host.StopTimer(NotesHost::Timer::TypingPause);
    m_host.StopTimer(NotesHost::Timer::TypingLongest);
}
