// Find, Find Next and Replace (the dialogs and the search are CFindReplace's),
// and Find in All Notes (CFindAllNotesDlg).
#include "app/TallyLeafDlg.h"

void CTallyLeafDlg::OnFind(UINT) {
    m_findReplace.OpenFindDialog();
}

void CTallyLeafDlg::OnFindNext(UINT) {
    m_findReplace.Search(true);
}

void CTallyLeafDlg::OnReplace(UINT) {
    m_findReplace.OpenReplaceDialog();
}

void CTallyLeafDlg::OnFindAll(UINT) {
    // The shown note's typing is searched as it stands in the editor.
    m_findAll.Open(m_hWnd);
}

LRESULT CTallyLeafDlg::OnFindReplaceMessage(WPARAM, LPARAM l) {
    m_findReplace.OnNotification(reinterpret_cast<const FINDREPLACEW*>(l));
    return 0;
}
