#include "storage/BackupWorker.h"

#include <exception>
#include <new>

#include "framework/Exception.h"
#include "framework/PostedObject.h"

namespace {

// Never throws: a failure of the copy itself becomes a Failed result, and one
// that leaves no memory even for that gives null.
std::unique_ptr<BackupResult> RunBackup(const BackupSeries& series, const std::wstring& folder,
                                        BackupDate today) noexcept {
    try {
        try {
            return std::make_unique<BackupResult>(DatabaseBackup::MakeCopy(series, folder, today));
        } catch (const std::exception& e) {
            auto failed = std::make_unique<BackupResult>();
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
            std::unique_ptr<BackupResult> result = RunBackup(series, folder, today);
            // Cleared before posting, so a receiver may start the next backup at once.
            m_running.store(false);
            PostedObject<BackupResult>::Post(notify, message, std::move(result));
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
    return PostedObject<BackupResult>::Take(lParam);
}

void BackupWorker::Discard(HWND notify, UINT message) {
    Wait();
    PostedObject<BackupResult>::DiscardQueued(notify, message);
}
