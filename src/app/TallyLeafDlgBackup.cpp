// File > Restore from Backup.
#include "app/RestoreBackupDlg.h"
#include "app/TallyLeafDlg.h"

void CTallyLeafDlg::OnRestoreBackup(UINT) {
    CRestoreBackupDlg dialog(m_hWnd, m_notes);
    dialog.DoModal();
}
