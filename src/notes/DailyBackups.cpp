#include "notes/DailyBackups.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "framework/SameFile.h"
#include "settings/AppFolders.h"
#include "storage/DatabaseCopy.h"
#include "storage/NotesStore.h"

namespace {
std::wstring FullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH * 2];
    const DWORD length = ::GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
    return length > 0 && length < MAX_PATH * 2 ? std::wstring(full, length) : path;
}

const wchar_t kCantRestore[] = L"Tallyleaf error: Can't restore the backup.\n - ";

ULONGLONG Ticks(const FILETIME& time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// "2026-12-08 14:02" in local time; empty for no time.
std::wstring LocalTimeText(const FILETIME& time) {
    FILETIME local{};
    SYSTEMTIME at{};
    if (Ticks(time) == 0 || !::FileTimeToLocalFileTime(&time, &local) || !::FileTimeToSystemTime(&local, &at))
        return std::wstring();
    wchar_t text[32];
    std::swprintf(text, 32, L"%04d-%02d-%02d %02d:%02d", at.wYear, at.wMonth, at.wDay, at.wHour, at.wMinute);
    return text;
}
}  // namespace

std::wstring DailyBackups::Folder() {
    return AppFolders::DataFolder() + L"Backups\\";
}

BackupSeries DailyBackups::SeriesOf(const std::wstring& dbPath) {
    const std::wstring full = FullPath(dbPath);
    const std::wstring defaultDb = FullPath(AppFolders::DataFolder() + NotesStore::kDefaultFileName);
    if (::CompareStringOrdinal(full.c_str(), static_cast<int>(full.size()), defaultDb.c_str(),
                               static_cast<int>(defaultDb.size()), TRUE) == CSTR_EQUAL)
        return BackupSeries(dbPath);
    return BackupSeries(dbPath, AppFolders::ToStoredPath(full));
}

std::wstring DailyBackups::LastBackupTime() const {
    const std::wstring& dbPath = m_session.DatabasePath();
    FILETIME newest{};
    for (const BackupSeries::Copy& copy : SeriesOf(dbPath).CopiesIn(Folder())) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (copy.kind != BackupSeries::Kind::Undo &&
            ::GetFileAttributesExW((Folder() + copy.name).c_str(), GetFileExInfoStandard, &data) &&
            Ticks(data.ftLastWriteTime) > Ticks(newest))
            newest = data.ftLastWriteTime;
    }
    return LocalTimeText(newest);
}

std::vector<DailyBackups::Listed> DailyBackups::List() const {
    const std::wstring& dbPath = m_session.DatabasePath();
    std::vector<Listed> listed;
    for (const BackupSeries::Copy& copy : SeriesOf(dbPath).CopiesIn(Folder())) {
        Listed entry{Folder() + copy.name, copy.kind, copy.date, {}, 0, {}};
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (IsSameFile(entry.path, dbPath) || !::GetFileAttributesExW(entry.path.c_str(), GetFileExInfoStandard, &data))
            continue;
        entry.madeAt = LocalTimeText(data.ftLastWriteTime);
        entry.bytes = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
        listed.push_back(std::move(entry));
    }
    // Newest first: by the day in the name; on one day the copy made before a
    // restore (made after that day's backup), then by the time.
    std::sort(listed.begin(), listed.end(), [](const Listed& a, const Listed& b) {
        const bool aUndo = a.kind == BackupSeries::Kind::Undo;
        const bool bUndo = b.kind == BackupSeries::Kind::Undo;
        if (a.date != b.date)
            return b.date < a.date;
        return aUndo != bUndo ? aUndo : b.madeAt < a.madeAt;
    });
    for (Listed& entry : listed)
        entry.check = DatabaseCopy::Inspect(entry.path);
    return listed;
}

void DailyBackups::BackUpIfDue() {
    // A portable copy on a write-protected stick has no room for copies, and
    // the user was told at start that nothing can be written there.
    if (!m_session.Store().IsOpen() || !AppFolders::Writable())
        return;
    const std::wstring& dbPath = m_session.DatabasePath();
    const BackupDate today = DatabaseBackup::Today();
    if ((today == m_lastBackupDay && dbPath == m_lastBackupPath) || m_worker.IsRunning())
        return;
    m_lastBackupDay = today;
    m_lastBackupPath = dbPath;
    const BackupSeries series = SeriesOf(dbPath);
    if (DatabaseBackup::HasCopy(series, Folder(), today))
        return;
    // A thread that can't be started leaves the day without a copy; the next
    // hide tries again.
    const NotesHost::PostTarget target = m_host.BackupDoneTarget();
    try {
        if (!m_worker.Start(series, Folder(), today, target.window, target.message))
            m_lastBackupDay = BackupDate{};
    } catch (const std::exception&) {
        m_lastBackupDay = BackupDate{};
    }
}

void DailyBackups::BackUpBeforeLeaving(const std::wstring& next) {
    if (!m_session.Store().IsOpen())
        return;
    m_worker.Wait();
    Report(DatabaseBackup::MakeCopy(SeriesOf(m_session.DatabasePath()), Folder(), DatabaseBackup::Today(), next));
}

BackupResult DailyBackups::MakeUndoCopy() {
    m_worker.Wait();
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    const BackupSeries series = SeriesOf(m_session.DatabasePath());
    // Never over an earlier one: two restores within a second name the second
    // copy after the next second.
    FILETIME moment{};
    ::SystemTimeToFileTime(&now, &moment);
    while (::GetFileAttributesW((Folder() + series.UndoName(now)).c_str()) != INVALID_FILE_ATTRIBUTES) {
        const ULONGLONG next = Ticks(moment) + 10000000;
        moment = {static_cast<DWORD>(next), static_cast<DWORD>(next >> 32)};
        ::FileTimeToSystemTime(&moment, &now);
    }
    return DatabaseBackup::MakeUndoCopy(series, Folder(), now);
}

void DailyBackups::Finish() {
    const NotesHost::PostTarget target = m_host.BackupDoneTarget();
    m_worker.Discard(target.window, target.message);
}

void DailyBackups::OnDone(LPARAM posted) {
    std::unique_ptr<BackupResult> result = BackupWorker::TakeResult(posted);
    if (!result)
        return;
    // A day that got no copy tries again at the next hide.
    if (result->outcome == BackupResult::Outcome::Failed)
        m_lastBackupDay = BackupDate{};
    Report(*result);
}

void DailyBackups::Report(const BackupResult& result) {
    const BackupDate today = DatabaseBackup::Today();
    if (result.outcome == BackupResult::Outcome::Copied || m_failureReportedOn == today)
        return;
    m_failureReportedOn = today;
    if (result.outcome == BackupResult::Outcome::SourceDamaged) {
        m_host.Say(L"Tallyleaf: the database file did not pass its check, so no backup was made of it:\n" +
                       result.dbPath + L"\n - " + result.message + L"\n\nThe existing backups in " + Folder() +
                       L" were kept as they are.",
                   MB_OK | MB_ICONWARNING);
    } else {
        m_host.Say(L"Tallyleaf: Can't back up the database\n" + result.dbPath + L"\ninto " + Folder() + L"\n - " +
                       result.message,
                   MB_OK | MB_ICONWARNING);
    }
}

bool DailyBackups::Restore(const std::wstring& copyPath) {
    if (!m_session.Store().IsOpen())
        return false;
    // Everything typed goes into the file first, so that the copy made before
    // the restore holds it.
    m_session.SaveShownNote();
    m_session.WriteOrRecoverWaitingSaves();
    const BackupResult undo = MakeUndoCopy();
    if (undo.outcome != BackupResult::Outcome::Copied) {
        m_host.Say(kCantRestore + undo.message +
                       L"\n\nNothing was restored: the notes as they are now could not be kept first.",
                   MB_OK | MB_ICONERROR);
        return false;
    }
    // The program's own connection lets go, so that it holds no lock the restore waits for.
    m_session.Store().CloseQuietly();
    const CopyResult restored = DatabaseCopy::Over(copyPath, m_session.DatabasePath());
    m_session.Open();
    // The notes restored get their own copy of the day.
    m_lastBackupDay = BackupDate{};
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

std::wstring DailyBackups::CopyDatabaseTo(const std::wstring& target) {
    m_session.WriteOrRecoverWaitingSaves();
    const CopyResult copied = DatabaseCopy::ToFile(m_session.DatabasePath(), target);
    return copied.outcome == CopyResult::Outcome::Copied ? std::wstring() : copied.message;
}
