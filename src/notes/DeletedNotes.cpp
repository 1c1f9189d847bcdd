#include "notes/DeletedNotes.h"

namespace {
// Finds `item` below `parent` (null: the whole tree): its parent and the
// sibling before it (null: none). False when it is not there.
bool FindPlace(const NotesTreeView& tree, HTREEITEM item, HTREEITEM parent, HTREEITEM& itemParent,
               HTREEITEM& previous) {
    HTREEITEM before = nullptr;
    for (HTREEITEM child = parent ? tree.FirstChild(parent) : tree.FirstItem(); child;
         child = tree.NextSibling(child)) {
        if (child == item) {
            itemParent = parent;
            previous = before;
            return true;
        }
        if (FindPlace(tree, item, child, itemParent, previous))
            return true;
        before = child;
    }
    return false;
}

void AddBranch(const NotesTreeView& tree, HTREEITEM item, long long parentId,
               const std::function<NotesStore::NoteContent(long long)>& content,
               std::vector<DeletedNotes::Note>& notes) {
    const long long id = tree.NoteId(item);
    NotesStore::NoteContent note = content(id);
    notes.push_back({id, parentId, tree.Name(item), std::move(note.text), note.pos});
    for (HTREEITEM child = tree.FirstChild(item); child; child = tree.NextSibling(child))
        AddBranch(tree, child, id, content, notes);
}
}  // namespace

DeletedNotes::Branch DeletedNotes::FromTree(const NotesTreeView& tree, HTREEITEM item,
                                            const std::function<NotesStore::NoteContent(long long)>& content) {
    Branch branch;
    HTREEITEM parent = nullptr, previous = nullptr;
    if (FindPlace(tree, item, nullptr, parent, previous)) {
        branch.parentId = tree.NoteId(parent);
        branch.previousSiblingId = tree.NoteId(previous);
    }
    AddBranch(tree, item, branch.parentId, content, branch.notes);
    return branch;
}
