// The installer's request to end (app/CloseForUpdate.h).
#include "app/CloseForUpdate.h"
#include "app/TallyLeafDlg.h"

const UINT CTallyLeafDlg::s_nCloseForUpdateMsg = ::RegisterWindowMessageW(kCloseForUpdateMessage);

LRESULT CTallyLeafDlg::OnCloseForUpdate(WPARAM, LPARAM) {
    // Under a box or a dialog of its own the window is disabled: the user is
    // in the middle of something, and the program would only end once it is
    // answered, long after the installer gave up. The installer says so instead.
    if (!::IsWindowEnabled(m_hWnd))
        return 0;
    // No question: the installer waits for the window to go. The note, the
    // placement and the counters are written as the window goes (OnDestroy).
    EndDialog(IDOK);
    return 1;
}
