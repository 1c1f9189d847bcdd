// Restoring a backup into the file in use, and copying the file in use.
#include "notes/NotesSession.h"

#include "storage/DatabaseCopy.h"

namespace {
const wchar_t kCantRestore[] = L"Tallyleaf error: Can't restore the backup.\n - ";
}  // namespace

bool NotesSession::RestoreBackup(const std::wstring& copyPath) {
    if (!m_store.IsOpen())
        return false;
    // Everything typed goes into the file first, so that the copy made before
    // the restore holds it.
    SaveShownNote();
    WriteOrRecoverWaitingSaves();
    const BackupResult undo = m_backups.MakeUndoCopy(m_strDbPath);
    if (undo.outcome != BackupResult::Outcome::Copied) {
        m_host.Say(kCantRestore + undo.message +
                       L"\n\nNothing was restored: the notes as they are now could not be kept first.",
                   MB_OK | MB_ICONERROR);
        return false;
    }
    // The program's own connection lets go, so that it holds no lock the restore waits for.
    m_store.CloseQuietly();
    const CopyResult restored = DatabaseCopy::Over(copyPath, m_strDbPath);
    Open();
    if (restored.outcome != CopyResult::Outcome::Copied) {
        m_host.Say(kCantRestore + restored.message + L"\n\nThe notes are as they were.", MB_OK | MB_ICONERROR);
        return false;
    }
    m_host.Say(L"Tallyleaf: the notes are back as this backup held them:\n" + copyPath +
                   L"\n\nThe notes as they were before are kept in\n" + undo.copyPath +
                   L"\nRestore that copy (File > Restore from Backup...) to undo this.",
               MB_OK | MB_ICONINFORMATION);
    return true;
}

std::wstring NotesSession::CopyDatabaseTo(const std::wstring& target) {
    WriteOrRecoverWaitingSaves();
    const CopyResult copied = DatabaseCopy::ToFile(m_strDbPath, target);
    return copied.outcome == CopyResult::Outcome::Copied ? std::wstring() : copied.message;
}
