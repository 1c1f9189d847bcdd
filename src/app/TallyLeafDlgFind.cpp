// Find, Find Next and Replace (the dialogs and the search are CFindReplace's).
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

LRESULT CTallyLeafDlg::OnFindReplaceMessage(WPARAM, LPARAM l) {
    m_findReplace.OnNotification(reinterpret_cast<const FINDREPLACEW*>(l));
    return 0;
}
