// MyCTreeCtr: the notes tree. Each item stands for one note: its label is the
// note's name, and it knows the note's id (0 means no note). The items' notes,
// names and places are kept in a model beside the control (TreeItemModel), which
// the program reads instead of the control; an item's data holds its note's id
// too, for whoever reads the control's notifications (cut to the data's size in
// a 32-bit program).
//
// A note is moved, with everything below it, by dragging it with the left mouse
// button: dropped on a note it becomes that note's last child; dropped on empty
// space in the tree, the last note of the top level. The tree then tells its
// parent with a TVN_NOTEMOVED notification, so that the move can be stored.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "framework/ImageList.h"
#include "framework/TreeCtrl.h"
#include "tree/TreeItemModel.h"

// Sent to the tree's parent as WM_NOTIFY (an NMNOTEMOVED) after a drop has moved
// a note. From a range of codes that no common control uses.
constexpr UINT TVN_NOTEMOVED = 0U - 1900U;

struct NMNOTEMOVED {
    NMHDR hdr;              // hwndFrom: the tree; idFrom: its control id; code: TVN_NOTEMOVED
    long long noteId;       // the moved note
    long long newParentId;  // the note it now stands under; 0 at the top level
    HTREEITEM hItem;        // the moved note's item (selected by now)
};

class MyCTreeCtr : public CTreeCtrl {
public:
    MyCTreeCtr();

    // The one way notes enter the tree: inserts an item labelled `name` under
    // `parent` (null or TVI_ROOT: the top level) after `after`, then sets its
    // data to `noteId`. Returns the new item, or null when the insertion failed.
    HTREEITEM InsertNoteItem(const std::wstring& name, long long noteId, HTREEITEM parent, HTREEITEM after = TVI_LAST);

    // Items go and are renamed through these, so that the model follows.
    bool DeleteItem(HTREEITEM item);
    bool DeleteAllItems() { return DeleteItem(TVI_ROOT); }
    bool SetItemText(HTREEITEM item, const std::wstring& text);

    // The items as they stand, read without asking the control.
    const TreeItemModel& Items() const { return m_items; }
    // The note id of an item; 0 for no item.
    long long NoteId(HTREEITEM item) const { return m_items.NoteId(item); }
    long long SelectedNoteId() const { return NoteId(GetSelectedItem()); }
    // The item of note `noteId`, or null when the tree has none (or the id is 0).
    HTREEITEM FindNoteItem(long long noteId) const;
    // The note ids of `item` and of everything below it, each note after its
    // descendants and children in their order (the order a subtree is deleted in).
    std::vector<long long> BranchNoteIds(HTREEITEM item) const;

    // Copies `item` (label, images and data) under `newParent` after `after`;
    // the note id goes to the copy and the source's data becomes 0. The copy
    // starts collapsed. Returns the copy, or null when it could not be inserted.
    HTREEITEM CopyItem(HTREEITEM item, HTREEITEM newParent, HTREEITEM after = TVI_LAST);
    // CopyItem of `item` and then of everything below it, children in their order.
    // The source items stay in place for the caller to delete. All or nothing:
    // when any item can't be copied, the partial copy is removed, the sources
    // keep their notes, and the result is null.
    HTREEITEM CopyBranch(HTREEITEM item, HTREEITEM newParent, HTREEITEM after = TVI_LAST);

private:
    LRESULT OnBeginDrag(NMHDR* hdr);
    LRESULT OnDeleteItem(NMHDR* hdr);
    LRESULT OnMouseMove(WPARAM w, LPARAM l);
    LRESULT OnLButtonUp(WPARAM w, LPARAM l);
    LRESULT OnCaptureChanged(WPARAM w, LPARAM l);
    LRESULT OnDestroy(WPARAM w, LPARAM l);

    // A picture of the item's label for the drag: the control's own, or one
    // drawn here from the label in the tree's font when the control makes none.
    std::unique_ptr<CImageList> MakeDragImage(HTREEITEM item);
    // Ends the drag's feedback: image, capture, drop highlight; the cursor stays.
    void StopDragging();
    // Moves the dragged note under `dropItem` (null: the top level) and reports it.
    void MoveDraggedNote(HTREEITEM dropItem);
    // Copies the children of `item` below `copy`, recording each (source, copy).
    bool CopyChildren(HTREEITEM item, HTREEITEM copy, std::vector<std::pair<HTREEITEM, HTREEITEM>>& copied);
    // True when `item` is `branch` or lies below it.
    bool IsInBranch(HTREEITEM item, HTREEITEM branch) const;

    // Gives `item` the note `noteId` (0: none), in the model and in its data.
    void SetNoteOf(HTREEITEM item, long long noteId);

    TreeItemModel m_items;
    std::unique_ptr<CImageList> m_pDragImage;  // the drag image while one is held
    bool m_bDragging = false;
    HTREEITEM m_hDragItem = nullptr;
    HTREEITEM m_hDropItem = nullptr;    // the item under the pointer at the last move
    HCURSOR m_hSavedCursor = nullptr;   // the cursor from before the drag
    HCURSOR m_hNoDropCursor = nullptr;  // shown while the pointer is outside the tree

    DECLARE_MESSAGE_TABLE()
};
