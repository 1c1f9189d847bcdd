// Runs one DatabaseBackup::MakeCopy on a thread of its own, so the user's thread
// never waits for a copy. When it is done it posts `message` to the window with
// a heap-allocated BackupResult in LPARAM; the window takes it with TakeResult.
// One object runs one backup at a time; it is used from one thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "storage/DatabaseBackup.h"

class BackupWorker {
public:
    BackupWorker() = default;
    // Waits for a backup that is still running.
    ~BackupWorker();
    BackupWorker(const BackupWorker&) = delete;
    BackupWorker& operator=(const BackupWorker&) = delete;

    // False when a backup is still running (nothing new starts). Throws
    // std::system_error when no thread can be started.
    bool Start(const BackupSeries& series, const std::wstring& folder, BackupDate today, HWND notify, UINT message);
    bool IsRunning() const { return m_running.load(); }
    // Waits until the running backup, if any, has posted its result.
    void Wait();
    // Waits for a running backup and frees the results still queued for
    // `notify` (a window about to go, whose messages would be dropped).
    void Discard(HWND notify, UINT message);

    // The result a posted message carries; the caller owns it from now on. Null
    // only when there was not even memory for a result.
    static std::unique_ptr<BackupResult> TakeResult(LPARAM lParam);

private:
    std::thread m_thread;
    std::atomic<bool> m_running{false};
};
