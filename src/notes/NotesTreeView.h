// What a notes session needs of the tree that shows the notes: items that
// stand for notes (an item's data is its note's id), the selection, names,
// and the walk over the items as shown. The main window gives its tree
// control (app/TreeNotesView.h); the tests give a tree of their own.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

class NotesTreeView {
public:
    virtual ~NotesTreeView() = default;

    // Inserts an item for a note as the last child of `parent` (TVI_ROOT: the top level).
    virtual HTREEITEM InsertNote(const std::wstring& name, long long noteId, HTREEITEM parent) = 0;
    // Inserts an item for a note among the children of `parent` right after
    // `after` (TVI_FIRST: as the first). A view that can only append puts it last.
    virtual HTREEITEM InsertNoteAfter(const std::wstring& name, long long noteId, HTREEITEM parent, HTREEITEM after) {
        (void)after;
        return InsertNote(name, noteId, parent);
    }
    // The item of a note; null when the tree does not show it.
    virtual HTREEITEM FindNote(long long noteId) const = 0;
    // The note of an item; 0 for none.
    virtual long long NoteId(HTREEITEM item) const = 0;
    virtual HTREEITEM Selected() const = 0;
    virtual void Select(HTREEITEM item) = 0;
    // Good until the item is renamed or goes.
    virtual const std::wstring& Name(HTREEITEM item) const = 0;
    virtual void SetName(HTREEITEM item, const std::wstring& name) = 0;
    // The notes of an item and of every item below it.
    virtual std::vector<long long> BranchNoteIds(HTREEITEM item) const = 0;
    // Removes an item with everything below it.
    virtual void Remove(HTREEITEM item) = 0;
    virtual void RemoveAll() = 0;
    // Off while the whole tree is refilled, then on (and drawn once).
    virtual void SetRedraw(bool on) = 0;

    // The walk: the first top-level item, an item's next sibling and first child.
    virtual HTREEITEM FirstItem() const = 0;
    virtual HTREEITEM NextSibling(HTREEITEM item) const = 0;
    virtual HTREEITEM FirstChild(HTREEITEM item) const = 0;
    virtual int Count() const = 0;
    // Changes whenever an item is added, removed, renamed or moved, so that
    // what was read of the tree can be kept until then.
    virtual unsigned Revision() const = 0;

    long long SelectedNoteId() const { return NoteId(Selected()); }
};
