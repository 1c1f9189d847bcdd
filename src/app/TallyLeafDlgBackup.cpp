// The main window's daily backups of the database in use: started once a day
// (at start-up, and after a hide once a day has passed, since the program runs
// in the tray for weeks) on a worker thread, and made at once before a switch
// or a copy leaves the file. What the copies are and how long they are kept is
// DatabaseBackup's.
#include "app/AppConstants.h"
#include "settings/AppFolders.h"
#include "app/TallyLeafDlg.h"
#include "framework/AppMessageBox.h"

namespace {
std::wstring BackupFolder() {
    return AppFolders::DataFolder() + L"Backups\\";
}
}  // namespace

void CTallyLeafDlg::BackUpIfDue() {
    const BackupDate today = DatabaseBackup::Today();
    if (today == m_lastBackupDay || !m_store.IsOpen() || m_backups.IsRunning())
        return;
    m_lastBackupDay = today;
    if (DatabaseBackup::HasCopy(m_strDbPath, BackupFolder(), today))
        return;
    // A thread that can't be started leaves the day without a copy; the next
    // hide tries again.
    try {
        if (!m_backups.Start(m_strDbPath, BackupFolder(), today, m_hWnd, WM_BACKUP_DONE))
            m_lastBackupDay = BackupDate{};
    } catch (const std::exception&) {
        m_lastBackupDay = BackupDate{};
    }
}

void CTallyLeafDlg::BackUpBeforeLeavingDatabase() {
    if (!m_store.IsOpen())
        return;
    m_backups.Wait();
    const BackupResult result = DatabaseBackup::MakeCopy(m_strDbPath, BackupFolder(), DatabaseBackup::Today());
    ReportBackup(result);
}

LRESULT CTallyLeafDlg::OnBackupDone(WPARAM, LPARAM l) {
    std::unique_ptr<BackupResult> result = BackupWorker::TakeResult(l);
    if (!result)
        return 0;
    // A day that got no copy tries again at the next hide.
    if (result->outcome == BackupResult::Outcome::Failed)
        m_lastBackupDay = BackupDate{};
    ReportBackup(*result);
    return 0;
}

void CTallyLeafDlg::ReportBackup(const BackupResult& result) {
    // Once a run: a backup that can't be made today can't be made after the
    // next hide either, and the user knows it by then.
    if (result.outcome == BackupResult::Outcome::Copied || m_bBackupFailureReported)
        return;
    m_bBackupFailureReported = true;
    if (result.outcome == BackupResult::Outcome::SourceDamaged) {
        AppMessageBox(L"Tallyleaf: the database file did not pass its check, so no backup was made of it:\n" +
                          m_strDbPath + L"\n - " + result.message + L"\n\nThe existing backups in " + BackupFolder() +
                          L" were kept as they are.",
                      nullptr, MB_OK | MB_ICONWARNING, m_hWnd);
    } else {
        AppMessageBox(L"Tallyleaf: Can't back up the database into " + BackupFolder() + L"\n - " + result.message,
                      nullptr, MB_OK | MB_ICONWARNING, m_hWnd);
    }
}
