// NotesSession's note operations: add, rename, delete with the subtree, the
// store's part of a note moved in the tree, and the conversion of a database
// of the previous release. Each changes the table first and the tree after it.
#include <algorithm>
#include <string>
#include <vector>

#include "notes/NotesSession.h"
#include "settings/AppFolders.h"
#include "storage/OldDatabase.h"

namespace {
const wchar_t kAddError[] = L"Tallyleaf error: Can't add new note.\n - ";
const wchar_t kDeleteError[] = L"Tallyleaf error: Can't delete subnote.\n - ";
constexpr const wchar_t* kNotConverted = L"Can't convert database to new format.";
}  // namespace

bool NotesSession::AddNote(long long parentId, std::wstring name) {
    HTREEITEM parent = parentId <= 0 ? TVI_ROOT : m_tree.FindNote(parentId);
    // A parent the tree does not show would leave the new note out of sight.
    if (!parent)
        return false;
    if (name.empty() && !m_host.AskName(L"Add New Note", L"Enter Name:", L"New Note", name))
        return false;
    long long id = 0;
    if (!m_store.IsOpen() || !TryStorage(kAddError, [&] { id = m_store.AddNote(parentId, name); }))
        return false;
    m_tree.Select(m_tree.InsertNote(name, id, parent));
    m_editor.Focus();
    return true;
}

void NotesSession::RenameSelectedNote() {
    HTREEITEM item = m_tree.Selected();
    if (!item)
        return;
    std::wstring name;
    if (!m_host.AskName(L"Rename Note", L"Enter new name:", m_tree.Name(item), name) || !m_store.IsOpen())
        return;
    if (TryStorage(L"Tallyleaf error: Can't rename note.\n - ", [&] { m_store.RenameNote(m_tree.NoteId(item), name); }))
        m_tree.SetName(item, name);
}

void NotesSession::DeleteSelectedNote() {
    HTREEITEM item = m_tree.Selected();
    if (!item)
        return;
    const std::wstring question = L"Do you want to delete:" + m_tree.Name(item) + L" and all its subnotes?";
    if (m_host.Say(question, MB_YESNO | MB_ICONEXCLAMATION) != IDYES || !m_store.IsOpen())
        return;
    // The whole subtree as the file holds it goes in one transaction (notes
    // another copy added below it too, and they come back with Undo Delete);
    // a failure part-way leaves every note in place, in the table and in the tree.
    const std::vector<long long> shownIds = m_tree.BranchNoteIds(item);
    DeletedNotes::Branch deleted = DeletedNotes::AtPlaceOf(m_tree, item);
    if (!TryStorage(kDeleteError, [&] { deleted.notes = m_store.DeleteBranch(m_tree.NoteId(item)); }))
        return;
    bool asShown = deleted.notes.size() == shownIds.size();
    for (DeletedNotes::Note& note : deleted.notes) {
        asShown = asShown && std::find(shownIds.begin(), shownIds.end(), note.id) != shownIds.end();
        // Undo Delete brings back the texts as they stand here: the shown
        // note's as the editor holds it, a note whose save waits as it waits.
        if (note.id == m_nShownNoteId && m_editor.IsModified()) {
            note.text = m_editor.Text();
            note.pos = m_editor.Position();
        } else if (const DeferredSave::Waiting* save = m_saves.Waiting().Find(note.id)) {
            note.text = save->text;
            note.pos = save->pos;
        }
        // Nothing waits to be written into a note that is gone, and the shown
        // note's edits have nowhere to go.
        m_saves.Forget(note.id);
        if (note.id == m_nShownNoteId)
            ShowNoNote();
    }
    m_deleted.Push(std::move(deleted));
    m_tree.Remove(item);
    m_bNoteDeleted = true;
    // Another copy moved or added notes in that subtree: the tree shows the file as it is now.
    if (!asShown)
        FollowTreeChangedElsewhere();
    if (m_tree.FirstItem())
        return;
    // The tree is never left empty.
    long long id = 0;
    if (!TryStorage(kDeleteError, [&] { id = m_store.AddNote(0, L"New Note"); }))
        return;
    m_tree.Select(m_tree.InsertNote(L"New Note", id, TVI_ROOT));
    m_editor.Focus();
}

void NotesSession::OnNoteMoved(long long noteId, long long newParentId) {
    // A note dragged in the tree keeps its new parent after the next start too.
    if (!m_store.IsOpen() || noteId == 0)
        return;
    TryStorage(L"Tallyleaf error: Can't move note.\n - ", [&] { m_store.MoveNote(noteId, newParentId); });
}

void NotesSession::ConvertOldDatabase() {
    const std::wstring oldPath = AppFolders::DataFolder() + OldDatabase::kFileName;
    auto report = [this](OldDatabase::Failure failure, const std::wstring& message) {
        switch (failure) {
            case OldDatabase::Failure::PathMemory:
                m_host.Say(L"Memory Allocation error #1", MB_OK);
                break;
            case OldDatabase::Failure::Open:
                m_host.Say(message, MB_OK | MB_ICONERROR);
                m_host.Say(kNotConverted, MB_OK | MB_ICONERROR);
                break;
            case OldDatabase::Failure::Read:
                m_host.SayUncaptioned(message);
                m_host.Say(kNotConverted, MB_OK | MB_ICONERROR);
                break;
            case OldDatabase::Failure::Storage:
                m_host.Say(message, MB_OK | MB_ICONERROR);
                break;
        }
    };
    if (!OldDatabase::ConvertInto(oldPath, m_strDbPath, report))
        return;
    m_host.Say(L"Tallyleaf has successfully converted your database to new format.\n\n  Old database file is " +
                   oldPath + L" \n\n  New file is " + m_strDbPath,
               MB_OK | MB_ICONINFORMATION);
}
