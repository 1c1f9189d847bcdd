#include "notes/NotesSession.h"

#include <algorithm>
#include <utility>

#include "framework/ScopedFlag.h"
#include "settings/AppFolders.h"
#include "storage/CppSQLite3DB.h"
#include "storage/OldDatabase.h"

namespace {
const wchar_t kOpenError[] = L"Tallyleaf: Can't open database.\n Error #1 - ";
const wchar_t kNoteNotReadYet[] =
    L"This note can't be read yet: another program is using the database.\r\n"
    L"It appears here by itself as soon as it can be read.";
const wchar_t kNoteHoldsNul[] =
    L"This note holds NUL characters (shown as \u2400), which the editor can't hold: it is read-only, so that "
    L"nothing of it is lost.\r\n\r\n";
constexpr UINT kUnreadNoteRetryMs = 1000;
constexpr int kBackgroundBusyWaitMs = 100;

bool IsLockedByAnother(const CppSQLite3Exception& e) {
    constexpr int kBusy = 5;
    constexpr int kLocked = 6;
    return e.Code() == kBusy || e.Code() == kLocked;
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

NotesSession::BriefBusyWait::BriefBusyWait(NotesStore& store) : m_store(store) {
    m_store.SetBusyWait(kBackgroundBusyWaitMs);
}

NotesSession::BriefBusyWait::~BriefBusyWait() {
    m_store.SetBusyWait(kUserThreadBusyWaitMs);
}

NotesSession::NotesSession(CppSQLite3DB& db, NotesTreeView& tree, NoteEditorView& editor, NotesHost& host,
                           SaveScheduler::Timings typingSaves)
    : m_tree(tree), m_editor(editor), m_host(host), m_store(db), m_saves(host, typingSaves) {}

void NotesSession::SwitchTo(const std::wstring& path) {
    m_strDbPath = path;
    Open();
}

void NotesSession::Open() {
    // What waits belongs to the file that is open now: it goes there before
    // that file is closed, never into the next one.
    WriteOrRecoverWaitingSaves();
    m_store.Close();
    // Deleted notes go back only into the file they came from.
    m_deleted.Clear();
    m_undeletedIds.clear();
    // A database of the previous release is carried over into a file not made yet.
    if (::GetFileAttributesW(m_strDbPath.c_str()) == INVALID_FILE_ATTRIBUTES &&
        IsFile(AppFolders::DataFolder() + OldDatabase::kFileName))
        ConvertOldDatabase();
    bool opened = TryStorage(kOpenError, [this] {
        m_store.Open(m_strDbPath);
        if (!m_store.HasTable())
            CreateNotesTable();
        else
            m_store.CheckTableShape();
    });
    opened = opened && m_store.IsOpen();
    // Nothing to show: later storage operations find the store closed and do nothing.
    if (!opened)
        m_store.CloseQuietly();

    // The tree is emptied and filled with its drawing off, then drawn once: a
    // tree view drawn item by item while it is shown takes about a millisecond
    // per note (seconds for thousands of notes).
    m_tree.SetRedraw(false);
    {
        ScopedFlag emptying = ChangingTreeItself();
        m_tree.RemoveAll();
    }
    ShowNoNote();
    if (opened) {
        TryStorage(kOpenError, [this] {
            if (FillTree(0, TVI_ROOT) == 0) {
                CreateNotesTable();
                FillTree(0, TVI_ROOT);
            }
        });
    }
    // Other copies' changes are counted from here on.
    long long version = -1;
    try {
        version = opened ? m_store.DataVersion() : -1;
    } catch (const CppSQLite3Exception&) {
    }
    m_follower.Start(version);
    m_tree.SetRedraw(true);
    // The selection change shows the first note; a separate load before it
    // would only set the editor's text twice. With no item there is no note
    // to show, and the editor stays empty and read-only.
    if (HTREEITEM first = m_tree.FirstItem())
        m_tree.Select(first);
}

void NotesSession::CreateNotesTable() {
    TryStorage(L"Tallyleaf: Can't create the main table.\n Error #1 - ", [this] { m_store.CreateTable(); });
}

int NotesSession::FillTree(long long parentId, HTREEITEM parent) {
    if (!m_store.IsOpen())
        return 0;
    NotesStore::RowsByParent rows = m_store.ReadTreeRows();
    return InsertChildren(rows, parentId, parent);
}

int NotesSession::InsertChildren(NotesStore::RowsByParent& rows, long long parentId, HTREEITEM parent) {
    auto level = rows.find(parentId);
    if (level == rows.end())
        return 0;
    // Taken out of the map, so a note that is its own ancestor cannot be reached twice.
    std::vector<NotesStore::TreeRow> notes = std::move(level->second);
    rows.erase(level);
    int count = 0;
    for (const NotesStore::TreeRow& note : notes) {
        HTREEITEM item = m_tree.InsertNote(note.name, note.id, parent);
        count += InsertChildren(rows, note.id, item) + 1;
    }
    return count;
}

void NotesSession::LoadNote(long long noteId) {
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
    if (m_saves.Waiting().IsWaitingFor(noteId))
        WriteWaitingSaves();
    if (const DeferredSave::Waiting* waiting = m_saves.Waiting().Find(noteId)) {
        note.text = waiting->text;
        note.pos = waiting->pos;
        m_shownStored = waiting->stored;
    } else {
        try {
            // Read with its version: another copy's write after it shows as a change.
            long long version = 0;
            note = m_store.LoadNote(noteId, version);
            m_shownStored = {note.text, version};
        } catch (const CppSQLite3Exception& e) {
            // Whatever the editor held belongs to another note: it must not stay
            // editable under this selection, nor be written into this note.
            ShowNoNote();
            if (IsLockedByAnother(e))
                ShowNoteNotReadYet(noteId);
            else
                m_host.Say(L"Tallyleaf error: Can't load note.\n - " + std::wstring(e.Message()), MB_OK | MB_ICONERROR);
            return;
        }
    }
    if (note.text.find(L'\0') != std::wstring::npos) {
        ShowNoteHoldingNul(note.text);
        return;
    }
    m_editor.ShowNote(note.text, note.pos);
    if (m_editor.IsReadOnly())
        m_editor.SetReadOnly(false);
    m_nShownNoteId = noteId;
}

void NotesSession::ShowNoteHoldingNul(const std::wstring& text) {
    // The edit control ends a text at its first NUL: shown editable, the next
    // save would cut the note there. It stands for no note, so nothing is written.
    ShowNoNote();
    std::wstring shown = text;
    std::replace(shown.begin(), shown.end(), L'\0', NotesStore::kNulMark);
    m_editor.ShowOther(kNoteHoldsNul + shown);
}

void NotesSession::ShowNoteNotReadYet(long long noteId) {
    // Said in the editor's place rather than in a box: the lock is usually
    // gone in a moment, and the note then shows by itself.
    m_editor.ShowOther(kNoteNotReadYet);
    m_nUnreadNoteId = noteId;
    m_host.StartTimer(NotesHost::Timer::ReadNoteAgain, kUnreadNoteRetryMs);
}

void NotesSession::ReadUnreadNoteAgain() {
    m_host.StopTimer(NotesHost::Timer::ReadNoteAgain);
    // Only while its item is still the one selected.
    const long long noteId = m_nUnreadNoteId;
    if (noteId == 0 || m_tree.SelectedNoteId() != noteId)
        return;
    BriefBusyWait brief(m_store);
    LoadNote(noteId);
}

void NotesSession::ShowNoNote() {
    m_nShownNoteId = 0;
    m_editor.ShowOther(std::wstring());
    m_editor.SetReadOnly(true);
    m_editor.SetModified(false);
    m_saves.StopTyping();
}

void NotesSession::OnSelectionChanged(bool toItem, long long noteId) {
    if (m_bClearingTree)
        return;
    // The note left is the one the editor shows (the item may be gone already:
    // deleted or moved). Only a modified note needs its text: an unchanged one
    // is not copied at all (the switch is a hot path, and notes can be megabytes long).
    if (m_nShownNoteId != 0 && m_editor.IsModified())
        m_saves.Defer(m_nShownNoteId, m_editor.Text(), m_editor.Position(), m_shownStored,
                      [this] { return WriteWaitingSaves(); });
    m_saves.StopTyping();
    // The editor has left that note: a save of it that now turns into a
    // conflict note must not take the editor, nor the selection, with it.
    m_nShownNoteId = 0;
    // A change to no item at all (the last one deleted) shows no note.
    if (toItem)
        LoadNote(noteId);
    else
        ShowNoNote();
    m_editor.SetModified(false);
}

void NotesSession::OnTimer(NotesHost::Timer timer) {
    switch (timer) {
        case NotesHost::Timer::DeferredSave:
            WriteDeferredSaves();
            break;
        case NotesHost::Timer::TypingPause:
        case NotesHost::Timer::TypingLongest:
            SaveTyping();
            break;
        case NotesHost::Timer::ReadNoteAgain:
            ReadUnreadNoteAgain();
            break;
        case NotesHost::Timer::CheckForChanges:
            CheckForChanges();
            break;
        case NotesHost::Timer::Count:
            break;
    }
}
