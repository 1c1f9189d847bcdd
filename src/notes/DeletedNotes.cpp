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

}  // namespace

DeletedNotes::Branch DeletedNotes::AtPlaceOf(const NotesTreeView& tree, HTREEITEM item) {
    Branch branch;
    HTREEITEM parent = nullptr, previous = nullptr;
    if (FindPlace(tree, item, nullptr, parent, previous)) {
        branch.parentId = tree.NoteId(parent);
        branch.previousSiblingId = tree.NoteId(previous);
    }
    return branch;
}
