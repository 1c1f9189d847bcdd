// The backup on its worker thread: the result arrives as a message to a window
// while the test's thread keeps pumping.
#include "storage/BackupWorker.h"

#include <gtest/gtest.h>

#include <memory>

#include "storage/CppSQLite3DB.h"
#include "storage/NotesStore.h"
#include "support/PostedMessages.h"
#include "support/Pump.h"
#include "support/TempDir.h"

namespace {
const UINT kBackupDone = WM_APP + 20;
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
    PostedMessages receiver(kBackupDone);
    ASSERT_TRUE(receiver.Handle());
    std::unique_ptr<BackupResult> last;
    BackupWorker worker;

    // Another connection's write lock keeps the copy waiting, so the first
    // backup is surely still running at the second start.
    writer.ExecuteStatement(L"BEGIN EXCLUSIVE");
    ASSERT_TRUE(worker.Start(BackupSeries(dbPath), folder, today, receiver.Handle(), kBackupDone));
    EXPECT_TRUE(worker.IsRunning());
    EXPECT_FALSE(worker.Start(BackupSeries(dbPath), folder, today, receiver.Handle(), kBackupDone));
    store.AddNote(0, L"Written while the backup waits");
    writer.ExecuteStatement(L"COMMIT");

    ASSERT_TRUE(PumpUntil([&] { return receiver.Received().size() == 1; }, 30000));
    last = BackupWorker::TakeResult(receiver.Received()[0]);
    ASSERT_TRUE(last);
    EXPECT_EQ(BackupResult::Outcome::Copied, last->outcome) << last->message;
    EXPECT_EQ(dbPath, last->dbPath);
    EXPECT_FALSE(worker.IsRunning());
    {
        CppSQLite3DB copy(2000);
        copy.Open(last->copyPath);
        EXPECT_EQ(2, copy.ExecuteScalar(L"SELECT count(*) FROM notes"));
    }

    // Once done, the worker takes the next backup; a failure arrives the same way.
    const std::wstring missing = dir.File(L"missing.db");
    ASSERT_TRUE(worker.Start(BackupSeries(missing), folder, today, receiver.Handle(), kBackupDone));
    ASSERT_TRUE(PumpUntil([&] { return receiver.Received().size() == 2; }, 30000));
    last = BackupWorker::TakeResult(receiver.Received()[1]);
    ASSERT_TRUE(last);
    EXPECT_EQ(BackupResult::Outcome::Failed, last->outcome);
    EXPECT_EQ(missing, last->dbPath);
    EXPECT_NE(std::wstring::npos, last->message.find(missing)) << last->message;
}
