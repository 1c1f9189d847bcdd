// TreeItemModel: the notes tree's items as they stand (each item's note, name,
// parent and neighbours), kept in memory beside the control. Walking the
// control costs a message for every field of every item, a tenth of a second
// and more at 10,000 notes; the program's walks (paths for a search, following
// another copy, export, finding a note's item) read this instead. MyCTreeCtr
// keeps it in step with each insertion, deletion, rename and move it makes.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <string>
#include <unordered_map>

class TreeItemModel {
public:
    // `item` went in under `parent` (null or TVI_ROOT: the top level) after
    // `after` (TVI_FIRST, TVI_LAST, or one of the parent's children).
    void Inserted(HTREEITEM item, HTREEITEM parent, HTREEITEM after, long long noteId, std::wstring name);
    // `item` and whatever is still below it are gone. Unknown items are ignored.
    void Removed(HTREEITEM item);
    void Clear();
    void SetName(HTREEITEM item, std::wstring name);
    void SetNoteId(HTREEITEM item, long long noteId);

    // 0 for no item or an item without a note.
    long long NoteId(HTREEITEM item) const;
    // Empty for no item.
    const std::wstring& Name(HTREEITEM item) const;
    HTREEITEM First() const { return m_first; }
    HTREEITEM Parent(HTREEITEM item) const;
    HTREEITEM FirstChild(HTREEITEM item) const;
    HTREEITEM NextSibling(HTREEITEM item) const;
    // The item of a note; null when none shows it (or the id is 0).
    HTREEITEM Find(long long noteId) const;
    std::size_t Count() const { return m_nodes.size(); }

private:
    struct Node {
        long long noteId = 0;
        std::wstring name;
        HTREEITEM parent = nullptr;
        HTREEITEM prev = nullptr;
        HTREEITEM next = nullptr;
        HTREEITEM firstChild = nullptr;
        HTREEITEM lastChild = nullptr;
    };
    const Node* Get(HTREEITEM item) const;
    Node* Get(HTREEITEM item) { return const_cast<Node*>(static_cast<const TreeItemModel*>(this)->Get(item)); }
    // The first and last child slots of `parent` (null: the top level's).
    HTREEITEM& FirstOf(HTREEITEM parent);
    HTREEITEM& LastOf(HTREEITEM parent);
    void Unlink(const Node& node);
    void ForgetNote(HTREEITEM item, long long noteId);

    std::unordered_map<HTREEITEM, Node> m_nodes;
    std::unordered_map<long long, HTREEITEM> m_itemsByNote;
    HTREEITEM m_first = nullptr;
    HTREEITEM m_last = nullptr;
};
