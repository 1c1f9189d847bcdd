// The installer's request to end (app/CloseForUpdate.h).
#include "app/CloseForUpdate.h"
#include "app/TallyLeafDlg.h"

const UINT CTallyLeafDlg::s_nCloseForUpdateMsg = ::RegisterWindowMessageW(kCloseForUpdateMessage);

LRESULT CTallyLeafDlg::OnCloseForUpdate(WPARAM, LPARAM) {
    // No question: the installer waits for the window to go. The note, the
    // placement and the counters are written as the window goes (OnDestroy).
    EndDialog(IDOK);
    return 1;
}
