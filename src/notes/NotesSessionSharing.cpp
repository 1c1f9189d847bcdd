// NotesSession and other copies of the program on the same file (a shared or
// synchronised folder): every save checks what the note holds before it
// writes, and the shown window's tree follows what the others change. SQLite
// on a shared file keeps its rollback journal (write-ahead logging needs
// shared memory, which network file systems do not give).
#include <algorithm>
#include <cwchar>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "framework/ScopedFlag.h"
#include "notes/NotesSession.h"

namespace {
constexpr int kSqliteBusy = 5;

std::wstring ConflictSuffix() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    wchar_t suffix[48];
    std::swprintf(suffix, sizeof suffix / sizeof suffix[0], L" (conflict %04u-%02u-%02u %02u:%02u)", now.wYear,
                  now.wMonth, now.wDay, now.wHour, now.wMinute);
    return suffix;
}

std::wstring Quoted(const std::wstring& name) {
    return L"\"" + name + L"\"";
}

// Finds the note of the item above `target`, looking below `first` and its
// siblings, whose parent's note is `parentId`.
bool FindParentNote(const NotesTreeView& tree, HTREEITEM first, long long parentId, HTREEITEM target,
                    long long& found) {
    for (HTREEITEM item = first; item; item = tree.NextSibling(item)) {
        if (item == target) {
            found = parentId;
            return true;
        }
        if (FindParentNote(tree, tree.FirstChild(item), tree.NoteId(item), target, found))
            return true;
    }
    return false;
}

}  // namespace

void NotesSession::WriteWaitingChecked() {
    m_saves.WriteAll(
        [this](const DeferredSave::Waiting& save) { WriteChecked(save.noteId, save.text, save.pos, save.stored); });
}

void NotesSession::WriteChecked(long long noteId, const std::wstring& text, int pos,
                                const NotesStore::StoredText& stored) {
    // A save that arrives while the import stores its notes waits for it:
    // written inside, a cancelled import would take it back.
    if (m_store.InTransaction())
        throw CppSQLite3Exception(kSqliteBusy, L"the notes of an import are being stored; the save waits for them");
    // The notes this session will still write into: a new note must not take
    // one of their ids, freed by a deletion elsewhere.
    long long idsInUse = m_nShownNoteId;
    for (const DeferredSave::Waiting& save : m_saves.Waiting().All())
        idsInUse = std::max(idsInUse, save.noteId);
    NotesStore::CheckedSave saved = m_store.SaveNoteChecked(noteId, text, pos, stored, ConflictSuffix(), idsInUse);
    const bool shown = noteId == m_nShownNoteId;
    if (saved.outcome == NotesStore::CheckedSave::Outcome::Written) {
        if (shown)
            m_shownStored = {text, saved.version};
        return;
    }
    if (saved.outcome == NotesStore::CheckedSave::Outcome::Superseded) {
        // Nothing of this copy's was in it: the editor shows what the other copy wrote.
        // Typed over since (that text waits): its save meets the other text as a conflict.
        if (shown && !m_editor.IsModified())
            ShowStoredChange(std::move(saved.storedText), saved.version);
        return;
    }
    if (saved.outcome == NotesStore::CheckedSave::Outcome::Gone) {
        // Deleted by another copy while this one edited it: the text comes back
        // as a note of the same name, where the note was.
        HTREEITEM item = m_tree.FindNote(noteId);
        saved.name = item ? m_tree.Name(item) : L"Recovered note";
        saved.parentId = 0;
        if (item)
            FindParentNote(m_tree, m_tree.FirstItem(), 0, item, saved.parentId);
        saved.noteId = m_store.RestoreNote(saved.parentId, saved.name, text, pos, idsInUse);
        // The deleted note's item goes at the next check, not under whatever the user is doing now.
        m_follower.MarkBehind();
        m_savesKept.push_back(L"The note " + Quoted(saved.name) +
                              L" was deleted by another copy of Tallyleaf on this database while you were "
                              L"editing it.\n\nYour text is kept: it is back as the note " +
                              Quoted(saved.name) + (saved.parentId ? L", in its old place." : L", at the top level."));
    } else {
        m_savesKept.push_back(L"The note " + Quoted(saved.storedName) +
                              L" was changed by another copy of Tallyleaf on this database while you were "
                              L"editing it.\n\nNothing is lost: " +
                              Quoted(saved.storedName) + L" keeps the other text, and your text is in the new note " +
                              Quoted(saved.name) + L" beside it.");
    }
    HTREEITEM parent = saved.parentId == 0 ? TVI_ROOT : m_tree.FindNote(saved.parentId);
    HTREEITEM kept = parent ? m_tree.InsertNote(saved.name, saved.noteId, parent) : nullptr;
    if (!kept)
        m_follower.MarkBehind();
    if (!shown)
        return;
    // The editor goes on with the user's text, which is the new note's now.
    m_nShownNoteId = saved.noteId;
    // The version before the note was put back: at worst the next save reads it to compare.
    m_shownStored = {text, saved.version};
    if (kept) {
        ScopedFlag selecting = ChangingTreeItself();
        m_tree.Select(kept);
    }
}

void NotesSession::TellWhatSavesKept() {
    // Taken first: the box lets other messages through, which may save again.
    std::vector<std::wstring> kept;
    kept.swap(m_savesKept);
    for (const std::wstring& text : kept)
        m_host.Say(text, MB_OK | MB_ICONWARNING);
}

void NotesSession::OnWindowShown() {
    m_host.StartTimer(NotesHost::Timer::CheckForChanges, kChangeCheckMs);
}

void NotesSession::OnWindowHidden() {
    m_host.StopTimer(NotesHost::Timer::CheckForChanges);
}

void NotesSession::CheckForChanges() {
    // Inside the import's transaction the file shows notes that may yet be taken back.
    if (!m_store.IsOpen() || m_bCheckingForChanges || m_store.InTransaction())
        return;
    ScopedFlag checking(m_bCheckingForChanges);
    long long version = 0;
    {
        // Reads wait only briefly for another copy's lock: the next check comes soon.
        BriefBusyWait brief(m_store);
        try {
            version = m_store.DataVersion();
        } catch (const CppSQLite3Exception&) {
            return;
        }
    }
    if (!m_follower.IsDue(version))
        return;
    // What the user wrote meets the file as it is now, before the tree changes
    // under it: typing, and what waits, are written first (checked), waiting
    // for a lock as the typing save does.
    SaveTyping();
    if (m_saves.Waiting().IsWaiting() && !m_saves.IsRetrying())
        WriteWaitingSaves();
    // A text still waiting keeps its note's item until it is written.
    if (m_saves.Waiting().IsWaiting())
        return;
    BriefBusyWait brief(m_store);
    NotesStore::RowsByParent rows;
    try {
        rows = m_store.ReadTreeRows();
    } catch (const CppSQLite3Exception&) {
        return;
    }
    {
        ScopedFlag updating = ChangingTreeItself();
        m_follower.UpdateTree(std::move(rows));
    }
    // The shown note's text could not be read: the next check looks again.
    if (!FollowShownNote(version))
        return;
    m_follower.Followed(version);
}

void NotesSession::FollowTreeChangedElsewhere() {
    m_follower.MarkBehind();
    CheckForChanges();
}

bool NotesSession::FollowShownNote(long long version) {
    if (m_nShownNoteId == 0) {
        // A note waiting to be read that went with its item: the selection shows instead.
        if (m_nUnreadNoteId != 0 && m_tree.SelectedNoteId() != m_nUnreadNoteId && m_tree.Selected()) {
            LoadNote(m_tree.SelectedNoteId());
            m_editor.SetModified(false);
        }
        return true;
    }
    HTREEITEM item = m_tree.FindNote(m_nShownNoteId);
    if (!item) {
        // Deleted by another copy, with nothing of it unsaved (written above).
        ShowNoNote();
        if (m_tree.Selected()) {
            LoadNote(m_tree.SelectedNoteId());
            m_editor.SetModified(false);
        } else if (HTREEITEM first = m_tree.FirstItem()) {
            m_tree.Select(first);
        }
        return true;
    }
    if (m_tree.Selected() != item) {
        ScopedFlag selecting = ChangingTreeItself();
        m_tree.Select(item);
    }
    // Changed by another copy while the user typed nothing here (typing was
    // written above): the editor shows it as stored now, at the same place.
    NotesStore::NoteContent stored;
    try {
        stored = m_store.LoadNote(m_nShownNoteId);
    } catch (const CppSQLite3Exception&) {
        return false;
    }
    if (stored.text != m_shownStored.text && !m_editor.IsModified())
        ShowStoredChange(std::move(stored.text), version);
    return true;
}

void NotesSession::ShowStoredChange(std::wstring text, long long version) {
    if (text.find(L'\0') != std::wstring::npos) {
        ShowNoteHoldingNul(text);
        return;
    }
    m_editor.ShowNote(text, m_editor.Position());
    m_editor.SetModified(false);
    m_shownStored = {std::move(text), version};
}
