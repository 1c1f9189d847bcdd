// NotesSession's Undo Delete: a deleted note comes back with its subtree, as
// it was, from the notes kept in memory since its delete.
#include <map>

#include "notes/NotesSession.h"

namespace {
const wchar_t kUndoError[] = L"Tallyleaf error: Can't bring the note back.\n - ";
}  // namespace

const std::wstring* NotesSession::NoteToUndelete() const {
    return m_deleted.Empty() || m_deleted.Last().notes.empty() ? nullptr : &m_deleted.Last().notes.front().name;
}

void NotesSession::UndoDelete() {
    if (!NoteToUndelete() || !m_store.IsOpen())
        return;
    const DeletedNotes::Branch& branch = m_deleted.Last();
    // A parent that came back under a new id is found under it.
    const auto renamed = m_undeletedIds.find(branch.parentId);
    const long long formerParentId = renamed == m_undeletedIds.end() ? branch.parentId : renamed->second;
    HTREEITEM parent = nullptr;
    long long parentId = 0;
    std::map<long long, long long> ids;
    if (!TryStorage(kUndoError, [&] {
            m_store.InTransaction(
                [&] {
                    // Under its parent while the tree and the table hold it (another
                    // program may have deleted or moved it away), else at the top level.
                    parent = formerParentId ? m_tree.FindNote(formerParentId) : nullptr;
                    if (parent && !m_store.IsReachable(formerParentId))
                        parent = nullptr;
                    parentId = parent ? formerParentId : 0;
                    // The notes keep their ids while all of them are free; else all get
                    // new ones, in their order, so that siblings keep their order at the
                    // next start.
                    bool ownIds = true;
                    for (const DeletedNotes::Note& note : branch.notes)
                        ownIds = ownIds && !m_store.HasNote(note.id);
                    for (const DeletedNotes::Note& note : branch.notes) {
                        const long long noteParent = ids.empty() ? parentId : ids.at(note.parentId);
                        ids[note.id] =
                            m_store.InsertNote(ownIds ? note.id : 0, noteParent, note.name, note.text, note.pos);
                    }
                },
                true);
        }))
        return;
    // Back in its place among its siblings: after the one it followed, while
    // that is still there.
    HTREEITEM after = TVI_LAST;
    if (parent || branch.parentId == 0) {
        after = TVI_FIRST;
        if (branch.previousSiblingId) {
            after = TVI_LAST;
            for (HTREEITEM child = parent ? m_tree.FirstChild(parent) : m_tree.FirstItem(); child;
                 child = m_tree.NextSibling(child))
                if (m_tree.NoteId(child) == branch.previousSiblingId)
                    after = child;
        }
    }
    std::map<long long, HTREEITEM> items;
    for (const DeletedNotes::Note& note : branch.notes) {
        const long long id = ids.at(note.id);
        items[note.id] = items.empty() ? m_tree.InsertNoteAfter(note.name, id, parent ? parent : TVI_ROOT, after)
                                       : m_tree.InsertNote(note.name, id, items.at(note.parentId));
    }
    const HTREEITEM restored = items.at(branch.notes.front().id);
    for (const auto& [oldId, newId] : ids)
        if (oldId != newId)
            m_undeletedIds[oldId] = newId;
    m_deleted.Pop();
    m_tree.Select(restored);
    m_editor.Focus();
}
