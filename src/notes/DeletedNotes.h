// DeletedNotes: the notes deleted in this run of the program, kept in memory
// (never in the database file) so that the deletes can be undone, the most
// recent first. Each entry is one deleted note with its whole subtree.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "notes/NotesTreeView.h"
#include "storage/NotesStore.h"

class DeletedNotes {
public:
    using Note = NotesStore::Row;
    struct Branch {
        // The note's place: its parent (0: the top level) and the sibling it
        // followed (0: it was the first).
        long long parentId = 0;
        long long previousSiblingId = 0;
        // The note first, then its subnotes, each before its own subnotes.
        std::vector<Note> notes;
    };

    void Push(Branch branch) { m_branches.push_back(std::move(branch)); }
    bool Empty() const { return m_branches.empty(); }
    // The most recent delete; only while not Empty().
    const Branch& Last() const { return m_branches.back(); }
    void Pop() { m_branches.pop_back(); }
    void Clear() { m_branches.clear(); }

    // A branch whose place is the one `item` has in the tree; no notes yet.
    static Branch AtPlaceOf(const NotesTreeView& tree, HTREEITEM item);

private:
    std::vector<Branch> m_branches;
};
