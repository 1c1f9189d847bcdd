// The notes tree control as a notes session sees it (notes/NotesTreeView.h).
// Walks and names are read from the tree's model of its items, not the control.
#pragma once

#include "notes/NotesTreeView.h"
#include "tree/MyCTreeCtr.h"

class TreeNotesView : public NotesTreeView {
public:
    explicit TreeNotesView(MyCTreeCtr& tree) : m_tree(tree) {}

    HTREEITEM InsertNote(const std::wstring& name, long long noteId, HTREEITEM parent) override {
        return m_tree.InsertNoteItem(name, noteId, parent, TVI_LAST);
    }
    HTREEITEM InsertNoteAfter(const std::wstring& name, long long noteId, HTREEITEM parent, HTREEITEM after) override {
        return m_tree.InsertNoteItem(name, noteId, parent, after);
    }
    HTREEITEM FindNote(long long noteId) const override { return m_tree.FindNoteItem(noteId); }
    long long NoteId(HTREEITEM item) const override { return m_tree.NoteId(item); }
    HTREEITEM Selected() const override { return m_tree.GetSelectedItem(); }
    void Select(HTREEITEM item) override { m_tree.SelectItem(item); }
    const std::wstring& Name(HTREEITEM item) const override { return m_tree.Items().Name(item); }
    void SetName(HTREEITEM item, const std::wstring& name) override { m_tree.SetItemText(item, name); }
    std::vector<long long> BranchNoteIds(HTREEITEM item) const override { return m_tree.BranchNoteIds(item); }
    void Remove(HTREEITEM item) override { m_tree.DeleteItem(item); }
    void RemoveAll() override { m_tree.DeleteAllItems(); }
    void SetRedraw(bool on) override;
    HTREEITEM FirstItem() const override { return m_tree.Items().First(); }
    HTREEITEM NextSibling(HTREEITEM item) const override { return m_tree.Items().NextSibling(item); }
    HTREEITEM FirstChild(HTREEITEM item) const override { return m_tree.Items().FirstChild(item); }
    int Count() const override { return static_cast<int>(m_tree.Items().Count()); }
    unsigned Revision() const override { return m_tree.ContentRevision(); }

private:
    MyCTreeCtr& m_tree;
};
