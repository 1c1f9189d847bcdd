#include "storage/BackupWorker.h"

#include <exception>
#include <new>

#include "framework/Exception.h"

namespace {

// Never throws: a failure of the copy itself becomes a Failed result, and one
// that leaves no memory even for that gives null.
BackupResult* RunBackup(const BackupSeries& series, const std::wstring& folder, BackupDate today) noexcept {
    try {
        try {
            return new BackupResult(DatabaseBackup::MakeCopy(series, folder, today));
        } catch (const std::exception& e) {
            auto* failed = new BackupResult();
            failed->dbPath = series.DatabasePath();
            failed->message = L"The backup failed: " + ExceptionMessage(e);
            return failed;
        }
    } catch (...) {
        return nullptr;
    }
}

}  // namespace

BackupWorker::~BackupWorker() {
    Wait();
}

bool BackupWorker::Start(const BackupSeries& series, const std::wstring& folder, BackupDate today, HWND notify,
                         UINT message) {
    if (m_running.load())
        return false;
    // The previous thread has cleared the flag and is at most posting its result.
    Wait();
    m_running.store(true);
    try {
        m_thread = std::thread([this, series, folder, today, notify, message] {
            BackupResult* result = RunBackup(series, folder, today);
            // Cleared before posting, so a receiver may start the next backup at once.
            m_running.store(false);
            if (!::PostMessageW(notify, message, 0, reinterpret_cast<LPARAM>(result)))
                delete result;
        });
    } catch (...) {
        m_running.store(false);
        throw;
    }
    return true;
}

void BackupWorker::Wait() {
    if (m_thread.joinable())
        m_thread.join();
}

std::unique_ptr<BackupResult> BackupWorker::TakeResult(LPARAM lParam) {
    return std::unique_ptr<BackupResult>(reinterpret_cast<BackupResult*>(lParam));
}
