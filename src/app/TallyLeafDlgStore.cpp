// The main window's notes store: opening it, the tree filled from it, the
// editor's text going to and from the selected note, the saves that wait (the
// deferred save of a note just left, and every save that failed), and the one
// report of storage failures. The SQL is NotesStore's.
//
// Nothing the user wrote is dropped by a failure: a save that fails waits and
// is tried again, less often each time; the user is told once per run of
// failures; and what still can't be written when the file must be let go of
// goes into recovery files.
#include <algorithm>
#include <string>
#include <utility>

#include "app/AppConstants.h"
#include "settings/AppFolders.h"
#include "storage/OldDatabase.h"
#include "notes/RecoveryFiles.h"
#include "app/TallyLeafDlg.h"
#include "app/TestSeams.h"
#include "framework/AppMessageBox.h"

namespace {
const wchar_t kOpenError[] = L"Tallyleaf: Can't open database.\n Error #1 - ";
const wchar_t kSaveError[] = L"Tallyleaf error: Can't save note.\n - ";
const wchar_t kWaitingSaveError[] = L"Tallyleaf error 2: Can't save note.\n - ";
const wchar_t kExitError[] = L"Tallyleaf destroy error.\n - ";
const wchar_t kKeptForLater[] =
    L"\n\nNothing is lost: Tallyleaf keeps the text and saves it as soon as the database can be written.";
const wchar_t kNoteNotReadYet[] =
    L"This note can't be read yet: another program is using the database.\r\n"
    L"It appears here by itself as soon as it can be read.";

// A failed save is tried again after a second, then less often, but never
// more than a few seconds apart.
constexpr UINT kFirstRetryMs = 1000;
constexpr UINT kLongestRetryMs = 4000;
// Tries that the user did not ask for wait only briefly for another program's
// lock, so that the window goes on answering while the lock lasts.
constexpr int kBackgroundBusyWaitMs = 100;
constexpr UINT kUnreadNoteRetryMs = 1000;

// Typing is saved after a pause of this long, and at least this often while it goes on.
UINT g_typingPauseMs = 2000;
UINT g_longestUnsavedTypingMs = 30000;

bool IsLockedByAnother(const CppSQLite3Exception& e) {
    constexpr int kBusy = 5;
    constexpr int kLocked = 6;
    return e.Code() == kBusy || e.Code() == kLocked;
}

// Sets how long the store waits for locks, for one scope.
class BusyWait {
public:
    BusyWait(NotesStore& store, int ms) : m_store(store) { m_store.SetBusyWait(ms); }
    ~BusyWait() { m_store.SetBusyWait(kUserThreadBusyWaitMs); }
    BusyWait(const BusyWait&) = delete;
    BusyWait& operator=(const BusyWait&) = delete;

private:
    NotesStore& m_store;
};
}  // namespace

void TestSeams::SetTypingSaveDelays(UINT pauseMs, UINT longestMs) {
    g_typingPauseMs = pauseMs;
    g_longestUnsavedTypingMs = longestMs;
}

bool CTallyLeafDlg::TryStorage(const wchar_t* failurePrefix, const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const CppSQLite3Exception& e) {
        AppMessageBox(std::wstring(failurePrefix) + e.Message(), nullptr, MB_OK | MB_ICONERROR, m_hWnd);
        return false;
    }
}

void CTallyLeafDlg::OpenNotesStore() {
    // What waits belongs to the file that is open now: it goes there before
    // that file is closed, never into the next one.
    WriteOrRecoverWaitingSaves();
    m_store.Close();
    // Another file gets its own copy of the day.
    m_lastBackupDay = BackupDate{};
    // A database of the previous release is carried over into a file not made yet.
    if (::GetFileAttributesW(m_strDbPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD old = ::GetFileAttributesW((AppFolders::DataFolder() + OldDatabase::kFileName).c_str());
        if (old != INVALID_FILE_ATTRIBUTES && !(old & FILE_ATTRIBUTE_DIRECTORY))
            ConvertOldDatabase();
    }
    bool opened = TryStorage(kOpenError, [this] {
        m_store.Open(m_strDbPath);
        if (!m_store.HasTable())
            CreateNotesTable();
    });
    opened = opened && m_store.IsOpen();
    // Nothing to show: later storage operations find the store closed and do nothing.
    if (!opened)
        m_store.CloseQuietly();

    // The tree is emptied and filled with its drawing off, then drawn once: a
    // tree view drawn item by item while it is shown takes about a millisecond
    // per note (seconds for thousands of notes).
    m_wndTree.SetRedraw(false);
    m_bClearingTree = true;
    m_wndTree.DeleteAllItems();
    m_bClearingTree = false;
    ShowNoNote();
    if (opened) {
        TryStorage(kOpenError, [this] {
            if (FillTree(0, TVI_ROOT) == 0) {
                CreateNotesTable();
                FillTree(0, TVI_ROOT);
            }
        });
    }
    m_wndTree.SetRedraw(true);
    ::InvalidateRect(m_wndTree, nullptr, TRUE);
    // The selection change shows the first note; a separate load before it
    // would only set the editor's text twice. With no item there is no note
    // to show, and the editor stays empty and read-only.
    if (HTREEITEM first = m_wndTree.GetRootItem())
        m_wndTree.SelectItem(first);
}

void CTallyLeafDlg::CreateNotesTable() {
    TryStorage(L"Tallyleaf: Can't create the main table.\n Error #1 - ", [this] { m_store.CreateTable(); });
}

int CTallyLeafDlg::FillTree(int parentId, HTREEITEM parent) {
    if (!m_store.IsOpen())
        return 0;
    NotesStore::RowsByParent rows = m_store.ReadTreeRows();
    return InsertChildren(rows, parentId, parent);
}

int CTallyLeafDlg::InsertChildren(NotesStore::RowsByParent& rows, int parentId, HTREEITEM parent) {
    auto level = rows.find(parentId);
    if (level == rows.end())
        return 0;
    // Taken out of the map, so a note that is its own ancestor cannot be reached twice.
    std::vector<NotesStore::TreeRow> notes = std::move(level->second);
    rows.erase(level);
    int count = 0;
    for (const NotesStore::TreeRow& note : notes) {
        HTREEITEM item = m_wndTree.InsertNoteItem(note.name, note.id, parent, TVI_LAST);
        count += InsertChildren(rows, note.id, item) + 1;
    }
    return count;
}

void CTallyLeafDlg::LoadNote(int noteId) {
    if (!m_store.IsOpen())
        return;
    m_nUnreadNoteId = 0;
    // No note has id 0: an item that stands for none shows nothing editable.
    if (noteId == 0) {
        ShowNoNote();
        return;
    }
    // Moving back to a note whose save still waits: it is written first, so
    // that nothing older overwrites it later; while it can't be, the editor
    // shows the waiting text, which is newer than the stored one.
    NotesStore::NoteContent note;
    if (m_deferredSave.IsWaitingFor(noteId))
        WriteWaitingSaves();
    if (const DeferredSave::Waiting* waiting = m_deferredSave.Find(noteId)) {
        note.text = waiting->text;
        note.pos = waiting->pos;
    } else {
        try {
            note = m_store.LoadNote(noteId);
        } catch (const CppSQLite3Exception& e) {
            // Whatever the editor held belongs to another note: it must not stay
            // editable under this selection, nor be written into this note.
            ShowNoNote();
            if (IsLockedByAnother(e))
                ShowNoteNotReadYet(noteId);
            else
                AppMessageBox(L"Tallyleaf error: Can't load note.\n - " + std::wstring(e.Message()), nullptr,
                              MB_OK | MB_ICONERROR, m_hWnd);
            return;
        }
    }
    m_strNoteText = std::move(note.text);
    WrapEditorFor(m_strNoteText);
    m_wndEditor.ShowText(m_strNoteText, note.pos);
    if (m_wndEditor.IsReadOnly())
        m_wndEditor.SetReadOnly(false);
    m_nShownNoteId = noteId;
}

void CTallyLeafDlg::ShowNoteNotReadYet(int noteId) {
    // Said in the editor's place rather than in a box: the lock is usually
    // gone in a moment, and the note then shows by itself.
    m_wndEditor.ShowText(kNoteNotReadYet, 0);
    m_nUnreadNoteId = noteId;
    SetTimer(TIMER_READ_NOTE_AGAIN, kUnreadNoteRetryMs);
}

void CTallyLeafDlg::ReadUnreadNoteAgain() {
    KillTimer(TIMER_READ_NOTE_AGAIN);
    // Only while its item is still the one selected.
    const int noteId = m_nUnreadNoteId;
    if (noteId == 0 || m_wndTree.SelectedNoteId() != noteId)
        return;
    BusyWait brief(m_store, kBackgroundBusyWaitMs);
    LoadNote(noteId);
}

void CTallyLeafDlg::ShowNoNote() {
    m_nShownNoteId = 0;
    m_strNoteText.clear();
    m_wndEditor.ShowText(m_strNoteText, 0);
    m_wndEditor.SetReadOnly(true);
    m_wndEditor.SetModify(false);
    StopTypingSave();
}

bool CTallyLeafDlg::WriteShownNote(int noteId, const wchar_t* failurePrefix) {
    // The editor's text belongs to the note it was loaded from, and to no other:
    // with no note shown (or another one) there is nothing to write.
    if (noteId == 0 || noteId != m_nShownNoteId)
        return true;
    StopTypingSave();
    const int pos = m_wndEditor.PackedPosition();
    try {
        m_store.SaveNote(noteId, m_strNoteText, pos);
    } catch (const CppSQLite3Exception& e) {
        m_deferredSave.Record(noteId, m_strNoteText, pos);
        SaveFailed(failurePrefix, e);
        return false;
    }
    // What waited for this note is older than what was just written.
    m_deferredSave.Forget(noteId);
    if (!m_deferredSave.IsWaiting())
        EndSaveFailures();
    return true;
}

void CTallyLeafDlg::SaveNote(int noteId) {
    if (!m_store.IsOpen())
        return;
    UpdateData(true);
    WriteShownNote(noteId, kSaveError);
    m_wndEditor.SetModify(false);
}

void CTallyLeafDlg::SaveNotesOnExit() {
    UpdateData(true);
    StopTypingSave();
    KillTimer(TIMER_DEFERRED_SAVE);
    // The note shown joins what waits (a note left just before the end), and
    // all of it is written, or kept in recovery files.
    const int shown = m_wndTree.SelectedNoteId();
    if (shown != 0 && shown == m_nShownNoteId)
        m_deferredSave.Record(shown, m_strNoteText, m_wndEditor.PackedPosition());
    m_wndEditor.SetModify(false);
    std::wstring failure;
    if (m_store.IsOpen()) {
        try {
            m_deferredSave.WriteTo(m_store);
            if (m_bNoteDeleted)
                m_store.Vacuum();
        } catch (const CppSQLite3Exception& e) {
            failure = e.Message();
        }
    }
    if (m_deferredSave.IsWaiting())
        KeepInRecoveryFiles(kExitError + failure);
    else if (!failure.empty())
        AppMessageBox(kExitError + failure, nullptr, MB_OK | MB_ICONERROR, m_hWnd);
}

bool CTallyLeafDlg::WriteWaitingSaves() {
    if (!m_deferredSave.IsWaiting()) {
        EndSaveFailures();
        return true;
    }
    if (!m_store.IsOpen())
        return false;
    try {
        m_deferredSave.WriteTo(m_store);
    } catch (const CppSQLite3Exception& e) {
        SaveFailed(kWaitingSaveError, e);
        return false;
    }
    EndSaveFailures();
    return true;
}

void CTallyLeafDlg::WriteOrRecoverWaitingSaves() {
    KillTimer(TIMER_DEFERRED_SAVE);
    if (!m_deferredSave.IsWaiting())
        return;
    std::wstring failure;
    if (m_store.IsOpen()) {
        try {
            m_deferredSave.WriteTo(m_store);
        } catch (const CppSQLite3Exception& e) {
            failure = e.Message();
        }
    }
    if (m_deferredSave.IsWaiting())
        KeepInRecoveryFiles(kWaitingSaveError + failure);
    EndSaveFailures();
}

void CTallyLeafDlg::SaveFailed(const wchar_t* failurePrefix, const CppSQLite3Exception& e) {
    m_nRetryMs = m_nRetryMs == 0 ? kFirstRetryMs : std::min(m_nRetryMs * 2, kLongestRetryMs);
    SetTimer(TIMER_DEFERRED_SAVE, m_nRetryMs);
    if (m_bSaveFailureReported)
        return;
    m_bSaveFailureReported = true;
    AppMessageBox(failurePrefix + std::wstring(e.Message()) + kKeptForLater, nullptr, MB_OK | MB_ICONERROR, m_hWnd);
}

void CTallyLeafDlg::EndSaveFailures() {
    m_nRetryMs = 0;
    m_bSaveFailureReported = false;
}

void CTallyLeafDlg::KeepInRecoveryFiles(const std::wstring& why) {
    std::vector<UnsavedNote> notes;
    for (const DeferredSave::Waiting& save : m_deferredSave.All()) {
        HTREEITEM item = m_wndTree.FindNoteItem(save.noteId);
        notes.push_back({item ? m_wndTree.GetItemText(item) : L"Note " + std::to_wstring(save.noteId), save.text});
    }
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const std::vector<std::wstring> files = WriteRecoveryFiles(AppFolders::DataFolder(), notes, now);
    std::wstring list;
    for (size_t i = 0; i < files.size(); ++i)
        list += L"\n  " + (files[i].empty() ? L"(could not be written anywhere) " + notes[i].name : files[i]);
    m_deferredSave.Clear();
    AppMessageBox(why + L"\n\nThe text that could not be saved into the database " + m_strDbPath +
                      L" is kept in these files:" + list,
                  nullptr, MB_OK | MB_ICONWARNING, m_hWnd);
}

void CTallyLeafDlg::StartDeferredSave(int noteId) {
    // While failed saves wait for their retry, the note left joins them: trying
    // now would only hold the user up.
    const bool retrying = m_nRetryMs != 0;
    if (m_deferredSave.IsWaiting() && !retrying)
        WriteWaitingSaves();
    m_deferredSave.Record(noteId, m_wndEditor.GetWindowText(), m_wndEditor.PackedPosition());
    if (m_nRetryMs == 0)
        SetTimer(TIMER_DEFERRED_SAVE, kDeferredSaveMs);
}

void CTallyLeafDlg::WriteDeferredSaves() {
    KillTimer(TIMER_DEFERRED_SAVE);
    if (m_nRetryMs == 0) {
        WriteWaitingSaves();
        return;
    }
    BusyWait brief(m_store, kBackgroundBusyWaitMs);
    WriteWaitingSaves();
}

void CTallyLeafDlg::OnEditorChange(UINT) {
    // Text the program puts in to show a note is not typing.
    if (m_nShownNoteId == 0 || m_wndEditor.IsShowingText())
        return;
    SetTimer(TIMER_TYPING_PAUSE, g_typingPauseMs);
    if (!m_bTypingUnsaved) {
        m_bTypingUnsaved = true;
        SetTimer(TIMER_TYPING_LONGEST, g_longestUnsavedTypingMs);
    }
}

void CTallyLeafDlg::SaveTyping() {
    StopTypingSave();
    if (m_nShownNoteId == 0 || !m_wndEditor.GetModify() || !m_store.IsOpen())
        return;
    UpdateData(true);
    if (m_nRetryMs != 0) {
        // Failed saves wait for their retry: the typing joins them.
        m_deferredSave.Record(m_nShownNoteId, m_strNoteText, m_wndEditor.PackedPosition());
    } else {
        WriteShownNote(m_nShownNoteId, kSaveError);
    }
    m_wndEditor.SetModify(false);
}

void CTallyLeafDlg::StopTypingSave() {
    if (!m_bTypingUnsaved)
        return;
    m_bTypingUnsaved = false;
    KillTimer(TIMER_TYPING_PAUSE);
    KillTimer(TIMER_TYPING_LONGEST);
}

LRESULT CTallyLeafDlg::OnNoteSelChanged(NMHDR* hdr) {
    if (m_bClearingTree)
        return 0;
    const auto* change = reinterpret_cast<const NMTREEVIEWW*>(hdr);
    // The note left is the one the editor shows (the item may be gone already:
    // deleted or moved). Only a modified note needs its text: an unchanged one
    // is not copied at all (the switch is a hot path, and notes can be megabytes long).
    if (m_nShownNoteId != 0 && m_wndEditor.GetModify())
        StartDeferredSave(m_nShownNoteId);
    StopTypingSave();
    // A change to no item at all (the last one deleted) shows no note.
    if (change->itemNew.hItem)
        LoadNote(static_cast<int>(change->itemNew.lParam));
    else
        ShowNoNote();
    m_wndEditor.SetModify(false);
    return 0;
}
