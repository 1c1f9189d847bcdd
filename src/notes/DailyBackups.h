// The daily backups of the database in use: started once a day (at start-up,
// and after a hide once a day has passed, since the program runs in the tray
// for weeks) on a worker thread, and made at once before a switch or a copy
// leaves the file, and before a restore replaces its notes. A backup that was
// not made is reported once a day at most. What the copies are and how long
// they are kept is DatabaseBackup's; they live in the data folder's "Backups".
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "notes/NotesHost.h"
#include "storage/BackupWorker.h"

class DailyBackups {
public:
    // A copy as the restore offers it.
    struct Listed {
        std::wstring path;
        BackupSeries::Kind kind;
        BackupDate date;
        // When the file was last written, as "2026-12-08 14:02" in local time.
        std::wstring madeAt;
        unsigned long long bytes = 0;
        DatabaseCopy::Inspection check;
    };

    explicit DailyBackups(NotesHost& host) : m_host(host) {}

    static std::wstring Folder();
    // The copies of `dbPath`. The default database's keep the names they always
    // had; every other file's carry a mark of its path (the part below the
    // program's folder in portable mode, so that it survives another drive letter).
    static BackupSeries SeriesOf(const std::wstring& dbPath);
    // When the newest daily copy of `dbPath` was made, as "2026-12-08 14:02"
    // in local time; empty when there is none.
    static std::wstring LastBackupTime(const std::wstring& dbPath);
    // The copies of `dbPath` (never the file itself), newest first, each
    // checked now: a file of thousands of notes takes a moment.
    static std::vector<Listed> List(const std::wstring& dbPath);

    // Starts the day's copy of `dbPath` on the worker thread unless the day has one.
    void BackUpIfDue(const std::wstring& dbPath);
    // Makes the day's copy of `dbPath` at once, after a copy still running; the
    // thinning leaves `next`, the file about to be used, alone.
    void BackUpNow(const std::wstring& dbPath, const std::wstring& next);
    // Makes the copy kept before a restore of `dbPath`, after a copy still running.
    BackupResult MakeUndoCopy(const std::wstring& dbPath);
    // The worker's result, posted to the host's BackupDoneTarget.
    void OnDone(LPARAM result);
    // The window is about to go: a copy under way is waited for, and its
    // result, if still queued, is freed unreported.
    void Finish();
    // Another file gets its own copy of the day.
    void ForgetDay() { m_lastBackupDay = BackupDate{}; }

private:
    void Report(const BackupResult& result);

    NotesHost& m_host;
    BackupWorker m_worker;
    // The day a backup was last made or found (none yet: all zero).
    BackupDate m_lastBackupDay{};
    // The day a failure was last reported: the program runs for weeks, and a
    // backup that fails today may fail for a long time.
    BackupDate m_failureReportedOn{};
};
