// The Notes menu's commands (add, add a subnote, rename, delete, undo a
// delete), handed to the notes session, and the Undo Delete item's text.
#pragma once

#include <windows.h>

#include "notes/NotesSession.h"
#include "tree/MyCTreeCtr.h"

class NoteCommands {
public:
    NoteCommands(MyCTreeCtr& tree, NotesSession& notes) : m_tree(tree), m_notes(notes) {}

    void Add();
    void AddSubnote();
    void Rename() { m_notes.RenameSelectedNote(); }
    void Delete() { m_notes.DeleteSelectedNote(); }
    void UndoDelete() { m_notes.UndoDelete(); }
    bool CanUndoDelete() { return m_notes.NoteToUndelete() != nullptr; }
    // Undo Delete names the note it brings back, in `popup` if it holds the item.
    void ShowUndoDeleteText(HMENU popup);

private:
    MyCTreeCtr& m_tree;
    NotesSession& m_notes;
};
