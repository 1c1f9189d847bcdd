// The backup on its worker thread: the result arrives as a message to a window
// while the test's thread keeps pumping.
#include "storage/BackupWorker.h"

#include <gtest/gtest.h>

#include <memory>

#include "storage/CppSQLite3DB.h"
#include "storage/NotesStore.h"
#include "support/Pump.h"
#include "support/TempDir.h"

namespace {

const UINT kBackupDone = WM_APP + 20;

// A message-only window that keeps every result posted to it.
class Receiver {
public:
    Receiver() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TallyleafBackupReceiver";
        ::RegisterClassW(&windowClass);
        m_hwnd = ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   windowClass.hInstance, nullptr);
        ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~Receiver() { ::DestroyWindow(m_hwnd); }
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;

    HWND Handle() const { return m_hwnd; }
    int count = 0;
    std::unique_ptr<BackupResult> last;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Receiver*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message != kBackupDone || !self)
            return ::DefWindowProcW(hwnd, message, wParam, lParam);
        self->last = BackupWorker::TakeResult(lParam);
        ++self->count;
        return 0;
    }

    HWND m_hwnd;
};

}  // namespace

TEST(BackupWorker, PostsItsResultAndRunsOneBackupAtATime) {
    TempDir dir;
    const std::wstring dbPath = dir.File(NotesStore::kDefaultFileName);
    const std::wstring folder = dir.File(L"Backups");
    const BackupDate today{2026, 12, 8};
    CppSQLite3DB writer(2000);
    NotesStore store(writer);
    store.Open(dbPath);
    store.CreateTable();
    Receiver receiver;
    ASSERT_TRUE(receiver.Handle());
    BackupWorker worker;

    // Another connection's write lock keeps the copy waiting, so the first
    // backup is surely still running at the second start.
    writer.ExecuteStatement(L"BEGIN EXCLUSIVE");
    ASSERT_TRUE(worker.Start(dbPath, folder, today, receiver.Handle(), kBackupDone));
    EXPECT_TRUE(worker.IsRunning());
    EXPECT_FALSE(worker.Start(dbPath, folder, today, receiver.Handle(), kBackupDone));
    store.AddNote(0, L"Written while the backup waits");
    writer.ExecuteStatement(L"COMMIT");

    ASSERT_TRUE(PumpUntil([&] { return receiver.count == 1; }, 30000));
    ASSERT_TRUE(receiver.last);
    EXPECT_EQ(BackupResult::Outcome::Copied, receiver.last->outcome) << receiver.last->message;
    EXPECT_FALSE(worker.IsRunning());
    {
        CppSQLite3DB copy(2000);
        copy.Open(receiver.last->copyPath);
        EXPECT_EQ(2, copy.ExecuteScalar(L"SELECT count(*) FROM notes"));
    }

    // Once done, the worker takes the next backup; a failure arrives the same way.
    const std::wstring missing = dir.File(L"missing.db");
    ASSERT_TRUE(worker.Start(missing, folder, today, receiver.Handle(), kBackupDone));
    ASSERT_TRUE(PumpUntil([&] { return receiver.count == 2; }, 30000));
    ASSERT_TRUE(receiver.last);
    EXPECT_EQ(BackupResult::Outcome::Failed, receiver.last->outcome);
    EXPECT_NE(std::wstring::npos, receiver.last->message.find(missing)) << receiver.last->message;
}
