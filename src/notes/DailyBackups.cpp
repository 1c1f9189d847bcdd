#include "notes/DailyBackups.h"

#include "settings/AppFolders.h"

namespace {
std::wstring BackupFolder() {
    return AppFolders::DataFolder() + L"Backups\\";
}
}  // namespace

void DailyBackups::BackUpIfDue(const std::wstring& dbPath) {
    // A portable copy on a write-protected stick has no room for copies, and
    // the user was told at start that nothing can be written there.
    if (!AppFolders::Writable())
        return;
    const BackupDate today = DatabaseBackup::Today();
    if (today == m_lastBackupDay || m_worker.IsRunning())
        return;
    m_lastBackupDay = today;
    if (DatabaseBackup::HasCopy(dbPath, BackupFolder(), today))
        return;
    // A thread that can't be started leaves the day without a copy; the next
    // hide tries again.
    const NotesHost::PostTarget target = m_host.BackupDoneTarget();
    try {
        if (!m_worker.Start(dbPath, BackupFolder(), today, target.window, target.message))
            m_lastBackupDay = BackupDate{};
    } catch (const std::exception&) {
        m_lastBackupDay = BackupDate{};
    }
}

void DailyBackups::BackUpNow(const std::wstring& dbPath) {
    m_worker.Wait();
    Report(DatabaseBackup::MakeCopy(dbPath, BackupFolder(), DatabaseBackup::Today()), dbPath);
}

void DailyBackups::OnDone(LPARAM posted, const std::wstring& dbPath) {
    std::unique_ptr<BackupResult> result = BackupWorker::TakeResult(posted);
    if (!result)
        return;
    // A day that got no copy tries again at the next hide.
    if (result->outcome == BackupResult::Outcome::Failed)
        m_lastBackupDay = BackupDate{};
    Report(*result, dbPath);
}

void DailyBackups::Report(const BackupResult& result, const std::wstring& dbPath) {
    // Once a run: a backup that can't be made today can't be made after the
    // next hide either, and the user knows it by then.
    if (result.outcome == BackupResult::Outcome::Copied || m_bFailureReported)
        return;
    m_bFailureReported = true;
    if (result.outcome == BackupResult::Outcome::SourceDamaged) {
        m_host.Say(L"Tallyleaf: the database file did not pass its check, so no backup was made of it:\n" + dbPath +
                       L"\n - " + result.message + L"\n\nThe existing backups in " + BackupFolder() +
                       L" were kept as they are.",
                   MB_OK | MB_ICONWARNING);
    } else {
        m_host.Say(L"Tallyleaf: Can't back up the database into " + BackupFolder() + L"\n - " + result.message,
                   MB_OK | MB_ICONWARNING);
    }
}
