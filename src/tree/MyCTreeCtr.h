// MyCTreeCtr: the notes tree. Each item stands for one note: its label is the
// note's name and its data is the note's id (0 means no note). Items own nothing.
#pragma once

#include <string>

#include "framework/TreeCtrl.h"

class MyCTreeCtr : public CTreeCtrl {
public:
    // The one way notes enter the tree: inserts an item labelled `name` under
    // `parent` (null or TVI_ROOT: the top level) after `after`, then sets its
    // data to `noteId`. Returns the new item, or null when the insertion failed.
    HTREEITEM InsertNoteItem(const std::wstring& name, int noteId, HTREEITEM parent,
                             HTREEITEM after = TVI_LAST);

    // The note id of an item; 0 for no item.
    int NoteId(HTREEITEM item) const { return item ? static_cast<int>(GetItemData(item)) : 0; }
    int SelectedNoteId() const { return NoteId(GetSelectedItem()); }
};
