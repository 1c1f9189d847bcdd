// TreeFollower: brings the tree up to date with what other copies of the
// program changed in the file. It keeps the file's data version the tree last
// followed, and whether the tree shows less than the table does (a note kept
// after a deletion elsewhere), and makes the tree show the table's notes,
// changing only the items that differ.
#pragma once

#include "notes/NotesTreeView.h"
#include "storage/NotesStore.h"

class TreeFollower {
public:
    explicit TreeFollower(NotesTreeView& tree) : m_tree(tree) {}
    TreeFollower(const TreeFollower&) = delete;
    TreeFollower& operator=(const TreeFollower&) = delete;

    // A file was opened at `version` (-1: none): changes count from there.
    void Start(long long version) {
        m_version = version;
        m_behind = false;
    }
    // The tree shows less than the table: the next check updates it even when nobody wrote.
    void MarkBehind() { m_behind = true; }
    // Whether the tree must follow the file, whose version is `version` now.
    bool IsDue(long long version) const { return version != m_version || m_behind; }
    // The tree shows the file as it was at `version`.
    void Followed(long long version) {
        m_version = version;
        m_behind = false;
    }

    // Makes the tree show the notes of `rows`, changing only what differs
    // (the selection changes that follow are the program's, not the user's).
    void UpdateTree(NotesStore::RowsByParent rows);

private:
    NotesTreeView& m_tree;
    // The file's count of other connections' commits when the tree last followed it.
    long long m_version = -1;
    bool m_behind = false;
};
