// DailyBackups: the backups of the notes session's database file. The day's
// copy is started once a day (at start-up, and after a hide once a day has
// passed, since the program runs in the tray for weeks) on a worker thread,
// and made at once before a switch or a copy leaves the file, and before a
// restore replaces its notes. A backup that was not made is reported once a
// day at most. It restores a backup into the file in use, and copies that
// file. What the copies are and how long they are kept is DatabaseBackup's;
// they live in the data folder's "Backups".
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "notes/NotesHost.h"
#include "notes/NotesSession.h"
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

    DailyBackups(NotesSession& session, NotesHost& host) : m_session(session), m_host(host) {}
    DailyBackups(const DailyBackups&) = delete;
    DailyBackups& operator=(const DailyBackups&) = delete;

    // When the newest daily copy of the file in use was made, as
    // "2026-12-08 14:02" in local time; empty when there is none.
    std::wstring LastBackupTime() const;
    // The copies of the file in use (never the file itself), newest first,
    // each checked now: a file of thousands of notes takes a moment.
    std::vector<Listed> List() const;

    // Starts the day's copy of the file in use on the worker thread unless the
    // day has one of it.
    void BackUpIfDue();
    // Makes the day's copy of the file in use at once, after a copy still
    // running; the thinning leaves `next`, the file about to be used, alone.
    void BackUpBeforeLeaving(const std::wstring& next);
    // The worker's result, posted to the host's BackupDoneTarget.
    void OnDone(LPARAM result);
    // The window is about to go: a copy under way is waited for, and its
    // result, if still queued, is freed unreported.
    void Finish();

    // Puts the notes of the backup at `copyPath` into the file in use and shows
    // them. A copy of the file as it was is made first, so that the restore can
    // be undone; the user is told where it is, or why nothing was restored.
    bool Restore(const std::wstring& copyPath);
    // Writes what waits, then copies the file in use to `target` through
    // SQLite's backup (another copy of the program may be writing it); the
    // reason when it failed, else empty.
    std::wstring CopyDatabaseTo(const std::wstring& target);

private:
    static std::wstring Folder();
    // The copies of `dbPath`. The default database's keep the names they always
    // had; every other file's carry a mark of its path (the part below the
    // program's folder in portable mode, so that it survives another drive letter).
    static BackupSeries SeriesOf(const std::wstring& dbPath);
    // Makes the copy kept before a restore of the file in use, after a copy still running.
    BackupResult MakeUndoCopy();
    void Report(const BackupResult& result);

    NotesSession& m_session;
    NotesHost& m_host;
    BackupWorker m_worker;
    // The day a backup was last made or found (none yet: all zero), and of
    // which file: another file gets its own copy of the day.
    BackupDate m_lastBackupDay{};
    std::wstring m_lastBackupPath;
    // The day a failure was last reported: the program runs for weeks, and a
    // backup that fails today may fail for a long time.
    BackupDate m_failureReportedOn{};
};
