// The daily backups of the database in use: started once a day (at start-up,
// and after a hide once a day has passed, since the program runs in the tray
// for weeks) on a worker thread, and made at once before a switch or a copy
// leaves the file. A backup that was not made is reported once a run. What the
// copies are and how long they are kept is DatabaseBackup's.
#pragma once

#include <windows.h>

#include <string>

#include "notes/NotesHost.h"
#include "storage/BackupWorker.h"

class DailyBackups {
public:
    explicit DailyBackups(NotesHost& host) : m_host(host) {}

    // Starts the day's copy of `dbPath` on the worker thread unless the day has one.
    void BackUpIfDue(const std::wstring& dbPath);
    // Makes the day's copy of `dbPath` at once, after a copy still running.
    void BackUpNow(const std::wstring& dbPath);
    // The worker's result, posted to the host's BackupDoneTarget.
    void OnDone(LPARAM result, const std::wstring& dbPath);
    // Another file gets its own copy of the day.
    void ForgetDay() { m_lastBackupDay = BackupDate{}; }

private:
    void Report(const BackupResult& result, const std::wstring& dbPath);

    NotesHost& m_host;
    BackupWorker m_worker;
    // The day a backup was last made or found (none yet: all zero).
    BackupDate m_lastBackupDay{};
    bool m_bFailureReported = false;
};
