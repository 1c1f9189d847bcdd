// The main window's note commands and what its tree and editor report, handed
// to the notes session, which keeps the table and the tree in step.
#include "app/TallyLeafDlg.h"

void CTallyLeafDlg::OnAddNewNote(UINT) {
    m_notes.AddNote(0, std::wstring());
}

void CTallyLeafDlg::OnAddSubnote(UINT) {
    // With no note selected there is nothing to add under: the note goes to the top level.
    m_notes.AddNote(m_wndTree.SelectedNoteId(), std::wstring());
}

void CTallyLeafDlg::OnRenameNote(UINT) {
    m_notes.RenameSelectedNote();
}

void CTallyLeafDlg::OnDeleteNote(UINT) {
    m_notes.DeleteSelectedNote();
}

void CTallyLeafDlg::OnUndoDelete(UINT) {
    m_notes.UndoDelete();
}

bool CTallyLeafDlg::CanUndoDelete() {
    return m_notes.NoteToUndelete() != nullptr;
}

LRESULT CTallyLeafDlg::OnNoteSelChanged(NMHDR* hdr) {
    const auto* change = reinterpret_cast<const NMTREEVIEWW*>(hdr);
    m_notes.OnSelectionChanged(change->itemNew.hItem != nullptr, m_wndTree.NoteId(change->itemNew.hItem));
    return 0;
}

LRESULT CTallyLeafDlg::OnNoteMoved(NMHDR* hdr) {
    const auto* moved = reinterpret_cast<const NMNOTEMOVED*>(hdr);
    m_notes.OnNoteMoved(moved->noteId, moved->newParentId);
    return 0;
}

void CTallyLeafDlg::OnEditorChange(UINT) {
    // Text the program puts in to show a note is not typing.
    if (!m_wndEditor.IsShowingText())
        m_notes.OnTyped();
}

LRESULT CTallyLeafDlg::OnBackupDone(WPARAM, LPARAM l) {
    m_notes.OnBackupDone(l);
    return 0;
}
