// NotesSession: the notes the program works on. It owns the database file in
// use and the notes store on it, and keeps the table and the tree in step:
// opening and filling the tree, loading the selected note into the editor and
// saving it back, adding, renaming, deleting and moving notes, bringing
// deleted notes back, and the conversion of a database of the previous release.
// Beside it, on the same session: the search in all notes reads through
// SearchedNotes, the export and the import are NotesImportExport's, and the
// backups, their restore and the copy of the file are DailyBackups'.
//
// Nothing the user wrote is dropped by a failure: a save that fails waits and
// is tried again, less often each time; the user is told once per run of
// failures; and what still can't be written when the file must be let go of
// goes into recovery files. Typing is saved after a pause and at least every
// so often. When those saves happen is its SaveScheduler's. A note another
// program's lock keeps from being read says so in the editor and shows itself
// when it can be read.
//
// Other copies of the program may use the same file. A save never overwrites
// what another copy stored meanwhile: the text goes into a conflict note
// beside it, or back into the tree when the note was deleted there. Changes to
// the tree are checked against the file. While the window is shown the tree
// follows what the others change (its TreeFollower's).
//
// It knows no windows: it works through the tree, the editor and the host it
// is given (NotesTreeView, NoteEditorView, NotesHost). Its code is split by concern:
//   NotesSession.cpp            opening, filling the tree, loading and showing notes
//   NotesSessionSaves.cpp       saving the shown note and what waits, typing, recovery files
//   NotesSessionOperations.cpp  add, rename, delete, move, the old database
//   NotesSessionUndoDelete.cpp  bringing deleted notes back
//   NotesSessionSharing.cpp     checked saves, following other copies' changes
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "framework/ScopedFlag.h"
#include "notes/DeletedNotes.h"
#include "notes/NoteEditorView.h"
#include "notes/NotesHost.h"
#include "notes/NotesTreeView.h"
#include "notes/SaveScheduler.h"
#include "notes/StorageStep.h"
#include "notes/TreeFollower.h"
#include "storage/CppSQLite3Exception.h"
#include "storage/DeferredSave.h"
#include "storage/NotesStore.h"

class CppSQLite3DB;

class NotesSession {
public:
    // How long after leaving a note its text is written (the deferred save).
    static constexpr UINT kDeferredSaveMs = SaveScheduler::kDeferredSaveMs;
    // How often the shown window looks for changes other copies made to the file.
    static constexpr UINT kChangeCheckMs = 3000;

    // Works on the connection `db` (the program's is theDB); typing is saved
    // after the pauses of `typingSaves`.
    NotesSession(CppSQLite3DB& db, NotesTreeView& tree, NoteEditorView& editor, NotesHost& host,
                 SaveScheduler::Timings typingSaves = {});
    NotesSession(const NotesSession&) = delete;
    NotesSession& operator=(const NotesSession&) = delete;

    // The database file in use; SwitchTo or SetDatabasePath change it.
    const std::wstring& DatabasePath() const { return m_strDbPath; }
    // The file to open next (at start-up), without opening it.
    void SetDatabasePath(const std::wstring& path) { m_strDbPath = path; }
    // The notes store on the file in use, for the classes that work beside the
    // session (closed while no file could be opened).
    NotesStore& Store() { return m_store; }
    // Opens the file in use (creating it, or converting the old database into
    // it, when it does not exist) and fills the tree from it; the first note is
    // selected. What waits for the file open before goes there first.
    void Open();
    // Makes `path` the file in use and opens it.
    void SwitchTo(const std::wstring& path);
    // Before the database file is let go of (closed, copied or replaced):
    // writes what waits, or else keeps it in recovery files and tells the user.
    void WriteOrRecoverWaitingSaves();

    // The note whose text the editor holds; 0 while it holds none.
    long long ShownNoteId() const { return m_nShownNoteId; }
    // Writes the editor's text into the note it holds (the one selected); a
    // failure keeps the text waiting to be tried again.
    void SaveShownNote();
    // Writes every save that waits; a failure keeps them waiting for a retry
    // and is reported (once). True when nothing waits any more.
    bool WriteWaitingSaves();
    // The end of the program: the waiting saves and the note shown are
    // written or kept in recovery files, and the file compacted after a delete.
    void SaveOnExit();

    // What the tree and the editor report.
    void OnSelectionChanged(bool toItem, long long noteId);
    void OnTyped();
    void OnNoteMoved(long long noteId, long long newParentId);
    // The host's timers, handed back when they fire.
    void OnTimer(NotesHost::Timer timer);

    // The window was shown or hidden: while it is shown, the file is checked
    // for other copies' changes every kChangeCheckMs.
    void OnWindowShown();
    void OnWindowHidden();
    // Brings the tree and the shown note up to date with what other copies
    // changed in the file: at once when nothing changed. The selection, the
    // editor's place and what the user typed stay.
    void CheckForChanges();

    // Adds a note under `parentId` (0: at the top level), asking for the name
    // when `name` is empty; false when no note was added (cancelled, or a
    // failure already reported).
    bool AddNote(long long parentId, std::wstring name);
    // Renames, or deletes with its subnotes (after asking), the selected note.
    void RenameSelectedNote();
    void DeleteSelectedNote();
    // Brings back the most recently deleted note of this run with its subtree,
    // under its former parent while that is there (else at the top level),
    // selected and shown.
    void UndoDelete();
    // The name of the note UndoDelete brings back; null when there is none.
    const std::wstring* NoteToUndelete() const;

    // What the windows and the tests look at.
    bool NoteDeleted() const { return m_bNoteDeleted; }
    // The texts waiting to be written into their notes (deferred and failed saves).
    const DeferredSave& WaitingSaves() const { return m_saves.Waiting(); }

private:
    void LoadNote(long long noteId);
    void CreateNotesTable();
    // Carries the notes of the old-format database in the data folder into the file in use.
    void ConvertOldDatabase();
    // The program itself changes the tree while the guard lives (empties it,
    // brings it up to date, selects a conflict note): its selection changes
    // are not the user's.
    ScopedFlag ChangingTreeItself() { return ScopedFlag(m_bClearingTree); }
    int FillTree(long long parentId, HTREEITEM parent);
    // Inserts the notes under `parentId` (taking them out of `rows`) and their
    // children below them; returns how many it inserted.
    int InsertChildren(NotesStore::RowsByParent& rows, long long parentId, HTREEITEM parent);
    // An empty, read-only editor that stands for no note.
    void ShowNoNote();
    // A read-only editor showing a note whose text holds a NUL, with a notice;
    // it stands for no note, so nothing is written over it.
    void ShowNoteHoldingNul(const std::wstring& text);
    // A read-only editor saying that the note can't be read yet; it is read again by a timer.
    void ShowNoteNotReadYet(long long noteId);
    void ReadUnreadNoteAgain();

    // Writes the editor's text and position into the note shown; a failure
    // keeps them waiting. False when it was not written.
    bool WriteShownNote(long long noteId, const wchar_t* failurePrefix);
    // Writes what waits, each save checked against the file; throws at the first failure.
    void WriteWaitingChecked();
    // Writes a note's text when the file still holds `stored` there, else keeps
    // it in a new note (a conflict note, or the note put back); the tree and
    // the shown note follow, and the user is told once. Throws on failure.
    void WriteChecked(long long noteId, const std::wstring& text, int pos, const NotesStore::StoredText& stored);
    // Says what the checked saves did; after the writes, so that no box opens
    // while they are under way.
    void TellWhatSavesKept();
    // A change to the tree met notes another copy changed: the tree shows
    // them as the file holds them now.
    void FollowTreeChangedElsewhere();
    // The shown note after the tree followed the file: still selected, or,
    // when deleted elsewhere, another note shown; its text reloaded when
    // another copy changed it (the user's typing was written before); the
    // file's version was `version` before the tree was read. False when its
    // text could not be read.
    bool FollowShownNote(long long version);
    // The shown note, untouched here, holds `text` now (another copy's, of
    // the file's `version`): the editor shows it at the same place.
    void ShowStoredChange(std::wstring text, long long version);
    // The saves' timer: writes what waits; a retry waits only briefly for locks.
    void WriteDeferredSaves();
    // Writes every waiting text into a recovery file and tells the user where, after `why`.
    void KeepInRecoveryFiles(const std::wstring& why);
    // A save failed: its retry is scheduled, and the user told once.
    void SaveFailed(const wchar_t* failurePrefix, const CppSQLite3Exception& e);
    void SaveTyping();
    // Runs a storage step (TryStorageStep); a change to the tree the file no
    // longer allows makes the tree follow the file, and the user is told.
    template <typename Step>
    bool TryStorage(const wchar_t* failurePrefix, Step step);

    // Tries that the user did not ask for (a retry, a second read) wait only
    // briefly for another program's lock, so that the window goes on answering
    // while the lock lasts; for one scope.
    class BriefBusyWait {
    public:
        explicit BriefBusyWait(NotesStore& store);
        ~BriefBusyWait();
        BriefBusyWait(const BriefBusyWait&) = delete;
        BriefBusyWait& operator=(const BriefBusyWait&) = delete;

    private:
        NotesStore& m_store;
    };

    NotesTreeView& m_tree;
    NoteEditorView& m_editor;
    NotesHost& m_host;
    NotesStore m_store;
    std::wstring m_strDbPath;
    // The saves that wait, their timers, their retries and their report, typing saves.
    SaveScheduler m_saves;
    // The selected note that another program's lock kept from being read (0: none).
    long long m_nUnreadNoteId = 0;
    // A note was deleted since the start: the file is compacted at the end.
    bool m_bNoteDeleted = false;
    // The note whose text the editor holds; 0 while it holds none (read-only then).
    long long m_nShownNoteId = 0;
    // Set through ChangingTreeItself.
    bool m_bClearingTree = false;
    // The shown note's text as the file held it when it was read or last written here.
    NotesStore::StoredText m_shownStored;
    // What other copies changed, brought into the tree.
    TreeFollower m_follower{m_tree};
    bool m_bCheckingForChanges = false;
    // What the checked saves kept elsewhere, for the user.
    std::vector<std::wstring> m_savesKept;
    // The notes deleted since the file was opened, for Undo Delete.
    DeletedNotes m_deleted;
    // The notes that Undo Delete brought back under new ids: old id to new id.
    std::map<long long, long long> m_undeletedIds;
};

template <typename Step>
bool NotesSession::TryStorage(const wchar_t* failurePrefix, Step step) {
    try {
        return TryStorageStep(m_host, failurePrefix, step);
    } catch (const NotesStore::TreeChanged& e) {
        FollowTreeChangedElsewhere();
        m_host.Say(std::wstring(failurePrefix) + e.Message(), MB_OK | MB_ICONINFORMATION);
        return false;
    }
}
