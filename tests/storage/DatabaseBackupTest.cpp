// Backups of real notes databases into a real folder: what the copy holds,
// which files the folder keeps, and that a damaged database costs no copy.
#include "storage/DatabaseBackup.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "storage/CppSQLite3DB.h"
#include "storage/NotesStore.h"
#include "support/TempDir.h"

namespace {

using Outcome = BackupResult::Outcome;

class DatabaseBackupTest : public ::testing::Test {
protected:
    void SetUp() override {
        CppSQLite3DB db(2000);
        NotesStore store(db);
        store.Open(dbPath);
        store.CreateTable();
        const int list = store.AddNote(0, L"Shopping \"list\" \U0001F34E");
        store.SaveNote(list, L"Milk, it's in the \U0001F95B aisle", 7);
        store.AddNote(list, L"Child's note");
    }

    // The notes table as text, a line of SQL literals "id|pid|name|note|pos" per
    // row, read (after running `statement`) through a connection of the test's own.
    static std::wstring Notes(const std::wstring& path, const std::wstring& statement = L"") {
        CppSQLite3DB own(2000);
        own.Open(path);
        if (!statement.empty())
            own.ExecuteStatement(statement);
        return own
            .ExecuteQuery(
                L"SELECT group_concat(quote(id) || '|' || quote(pid) || '|' || quote(name) || '|' || "
                L"quote(note) || '|' || quote(pos), char(10)) AS rows FROM (SELECT * FROM notes ORDER BY id)")
            .TextByName(L"rows", L"");
    }

    // The names in the backup folder and their bytes.
    std::map<std::wstring, std::string> Folder() const {
        std::map<std::wstring, std::string> files;
        for (const std::wstring& name : NamesIn(folder))
            files[name] = ReadFileBytes(folder + L"\\" + name);
        return files;
    }

    TempDir dir;
    const std::wstring dbPath = dir.File(L"notes2.db");
    const std::wstring folder = dir.File(L"Backups");
    const BackupDate today{2026, 12, 8};
};

}  // namespace

TEST_F(DatabaseBackupTest, CopyHoldsTheNotesAndASecondCopyTheSameDayReplacesIt) {
    EXPECT_FALSE(DatabaseBackup::HasCopy(BackupSeries(dbPath), folder, today));

    const BackupResult first = DatabaseBackup::MakeCopy(BackupSeries(dbPath), folder, today);
    ASSERT_EQ(Outcome::Copied, first.outcome) << first.message;
    EXPECT_EQ(folder + L"\\notes2 2026-12-08.db", first.copyPath);
    EXPECT_EQ(L"", first.message);
    ASSERT_TRUE(FileExists(first.copyPath));
    EXPECT_NE(std::wstring::npos, Notes(first.copyPath).find(L"|'Milk, it''s in the \U0001F95B aisle'|7"));
    EXPECT_EQ(Notes(dbPath), Notes(first.copyPath));
    EXPECT_TRUE(DatabaseBackup::HasCopy(BackupSeries(dbPath), folder + L"\\", today));
    EXPECT_FALSE(DatabaseBackup::HasCopy(BackupSeries(dbPath), folder, {2026, 12, 9}));
    EXPECT_FALSE(DatabaseBackup::HasCopy(BackupSeries(dir.File(L"other.db")), folder, today));

    Notes(dbPath, L"INSERT INTO notes VALUES(10, 0, 'Later', 'after the first copy', 0)");
    const BackupResult second = DatabaseBackup::MakeCopy(BackupSeries(dbPath), folder, today);
    ASSERT_EQ(Outcome::Copied, second.outcome) << second.message;
    EXPECT_EQ(std::vector<std::wstring>{L"notes2 2026-12-08.db"}, NamesIn(folder));
    EXPECT_NE(std::wstring::npos, Notes(second.copyPath).find(L"after the first copy"));
}

TEST_F(DatabaseBackupTest, RetentionThinsOutOnlyTheCopiesOfThisDatabase) {
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    // A copy made before a restore goes after 30 days; a copy about to be
    // opened stays, whatever its age.
    const std::vector<std::wstring> dropped = {L"notes2 2025-11-30.db",
                                               L"notes2 2026-11-07 10.00.00 before restore.db"};
    const std::wstring aboutToBeUsed = L"notes2 2026-06-20.db";
    const std::vector<std::wstring> keptCopies = {L"notes2 2026-01-15.db",
                                                  L"notes2 2026-06-10.db",
                                                  L"notes2 2026-12-01.db",
                                                  L"notes2 2026-12-02.db",
                                                  L"notes2 2026-12-03.db",
                                                  L"notes2 2026-12-04.db",
                                                  L"notes2 2026-12-05.db",
                                                  L"notes2 2026-12-06.db",
                                                  L"notes2 2026-11-08 23.59.59 before restore.db",
                                                  aboutToBeUsed};
    const std::vector<std::wstring> others = {
        L"other 2025-01-01.db",    L"notes2 2026-02-30.db", L"notes2 2025-01-01.db.txt", L"notes2-2025-01-01.db",
        L"notes2 2025-01-01 x.db", L"notes 2025-01-01.db",  L"notes2 2025-01-01.db-wal", L"readme.txt"};
    for (const auto* names : {&dropped, &keptCopies, &others}) {
        for (const std::wstring& name : *names)
            WriteFileBytes(folder + L"\\" + name, "bytes of " + std::string(name.begin(), name.end()));
    }
    ASSERT_TRUE(::CreateDirectoryW((folder + L"\\notes2 2025-02-01.db").c_str(), nullptr));

    const BackupResult result =
        DatabaseBackup::MakeCopy(BackupSeries(dbPath), folder, today, folder + L"\\" + aboutToBeUsed);
    ASSERT_EQ(Outcome::Copied, result.outcome) << result.message;

    std::vector<std::wstring> expected = keptCopies;
    expected.insert(expected.end(), others.begin(), others.end());
    expected.push_back(L"notes2 2025-02-01.db");
    expected.push_back(L"notes2 2026-12-08.db");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, NamesIn(folder));
}

TEST_F(DatabaseBackupTest, FilesOfOneNameInTwoFoldersKeepASeriesEachAndShareTheOlderUnmarkedCopies) {
    const std::wstring otherPath = dir.File(L"other\\notes2.db");
    ASSERT_TRUE(::CreateDirectoryW(dir.File(L"other").c_str(), nullptr));
    {
        CppSQLite3DB db(2000);
        NotesStore store(db);
        store.Open(otherPath);
        store.CreateTable();
        store.AddNote(0, L"In the other folder");
    }
    const BackupSeries mine(dbPath, dbPath);
    // Another spelling of one path is one series.
    EXPECT_EQ(mine.DailyName(today), BackupSeries(dbPath, dir.File(L"NOTES2.DB")).DailyName(today));
    const BackupSeries other(otherPath, otherPath);
    ASSERT_NE(mine.DailyName(today), other.DailyName(today));
    EXPECT_EQ(L"notes2 " + BackupSeries::Mark(dbPath) + L" 2026-12-08.db", mine.DailyName(today));

    // Copies named before the series were marked: seven recent ones and one
    // that the thinning drops.
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    for (const wchar_t* day : {L"2025-03-01", L"2026-12-01", L"2026-12-02", L"2026-12-03", L"2026-12-04", L"2026-12-05",
                               L"2026-12-06", L"2026-12-07"})
        WriteFileBytes(folder + L"\\notes2 " + day + L".db", "an older copy");

    for (const BackupSeries* series : {&mine, &other})
        ASSERT_EQ(Outcome::Copied, DatabaseBackup::MakeCopy(*series, folder, today).outcome);
    EXPECT_EQ(Notes(dbPath), Notes(folder + L"\\" + mine.DailyName(today)));
    EXPECT_EQ(Notes(otherPath), Notes(folder + L"\\" + other.DailyName(today)));
    EXPECT_FALSE(FileExists(folder + L"\\notes2 2025-03-01.db"));
    for (const BackupSeries* series : {&mine, &other}) {
        int daily = 0;
        int unmarked = 0;
        for (const BackupSeries::Copy& copy : series->CopiesIn(folder))
            ++(copy.kind == BackupSeries::Kind::Daily ? daily : unmarked);
        EXPECT_EQ(1, daily);
        EXPECT_EQ(7, unmarked);
    }
}

TEST_F(DatabaseBackupTest, ADamagedDatabaseIsNotCopiedAndEveryCopyStays) {
    const std::wstring damaged = dir.File(L"damaged.db");
    {
        CppSQLite3DB db(2000);
        NotesStore store(db);
        store.Open(damaged);
        store.CreateTable();
        db.ExecuteStatement(L"CREATE TABLE filler (id INTEGER PRIMARY KEY, text TEXT)");
        db.ExecuteStatement(
            L"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 4000) "
            L"INSERT INTO filler(text) SELECT 'filler row ' || i FROM n");
    }
    // Good copies made before the damage: today's, six more days, and an old one
    // the rule would drop at the next good copy.
    for (BackupDate day : {BackupDate{2025, 6, 1}, today})
        ASSERT_EQ(Outcome::Copied, DatabaseBackup::MakeCopy(BackupSeries(damaged), folder, day).outcome);
    const std::wstring todays = folder + L"\\" + BackupSeries(damaged).DailyName(today);
    for (int day = 1; day <= 6; ++day) {
        const std::wstring name = folder + L"\\" + BackupSeries(damaged).DailyName({2026, 12, day});
        ASSERT_TRUE(::CopyFileW(todays.c_str(), name.c_str(), TRUE));
    }
    const std::map<std::wstring, std::string> before = Folder();
    ASSERT_EQ(8u, before.size());
    ASSERT_EQ(1u, before.count(L"damaged 2025-06-01.db"));

    int pageSize = 0;
    int pages = 0;
    {
        CppSQLite3DB db(2000);
        db.Open(damaged);
        pageSize = db.ExecuteScalar(L"PRAGMA page_size");
        pages = db.ExecuteScalar(L"PRAGMA page_count");
        // The notes table was made first, so the pages past the first few hold the filler rows.
        ASSERT_GT(pages, 12);
        ASSERT_LT(db.ExecuteScalar(L"SELECT rootpage FROM sqlite_master WHERE name = 'notes'"), 4);
    }
    std::string bytes = ReadFileBytes(damaged);
    const size_t middle = static_cast<size_t>(pages / 2) * static_cast<size_t>(pageSize) + pageSize / 2;
    std::fill(bytes.begin() + middle, bytes.begin() + middle + 64, '\xff');
    WriteFileBytes(damaged, bytes);
    {
        CppSQLite3DB db(2000);
        NotesStore store(db);
        store.Open(damaged);
        EXPECT_EQ(1u, store.ReadTreeRows().size()) << "the notes table still reads";
    }

    const BackupResult result = DatabaseBackup::MakeCopy(BackupSeries(damaged), folder, today);
    EXPECT_EQ(Outcome::SourceDamaged, result.outcome) << result.message;
    EXPECT_NE(std::wstring::npos, result.message.find(damaged)) << result.message;
    EXPECT_EQ(before, Folder());
}

TEST_F(DatabaseBackupTest, WhatCannotBeCopiedFailsWithTheReason) {
    const std::wstring missing = dir.File(L"missing.db");
    const BackupResult noSource = DatabaseBackup::MakeCopy(BackupSeries(missing), folder, today);
    EXPECT_EQ(Outcome::Failed, noSource.outcome);
    EXPECT_NE(std::wstring::npos, noSource.message.find(missing)) << noSource.message;
    EXPECT_FALSE(FileExists(missing)) << "a missing database is not created";
    EXPECT_TRUE(NamesIn(folder).empty());

    const std::wstring notAFolder = dir.File(L"file");
    WriteFileBytes(notAFolder, "a file where the folder should be");
    const BackupResult noFolder = DatabaseBackup::MakeCopy(BackupSeries(dbPath), notAFolder, today);
    EXPECT_EQ(Outcome::Failed, noFolder.outcome);
    EXPECT_NE(std::wstring::npos, noFolder.message.find(notAFolder)) << noFolder.message;
    EXPECT_EQ("a file where the folder should be", ReadFileBytes(notAFolder));
}

TEST_F(DatabaseBackupTest, TheFilesOfACopyThatNeverFinishedGoAtTheNextBackup) {
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    // A copy cut off by a kill a day ago, and one that another copy of the
    // program is writing now.
    for (const wchar_t* name : {L"tlb1A2B.tmp", L"tlb1A2B.tmp-journal", L"tlbFFFF.tmp"})
        WriteFileBytes(folder + L"\\" + name, std::string(4096, 'x'));
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER dayAgo{{now.dwLowDateTime, now.dwHighDateTime}};
    dayAgo.QuadPart -= 24ULL * 60 * 60 * 10000000;
    const FILETIME then{dayAgo.LowPart, dayAgo.HighPart};
    for (const wchar_t* name : {L"tlb1A2B.tmp", L"tlb1A2B.tmp-journal"}) {
        HANDLE file = ::CreateFileW((folder + L"\\" + name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                    0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        ::SetFileTime(file, nullptr, nullptr, &then);
        ::CloseHandle(file);
    }

    ASSERT_EQ(Outcome::Copied, DatabaseBackup::MakeCopy(BackupSeries(dbPath), folder, today).outcome);
    EXPECT_EQ((std::vector<std::wstring>{L"notes2 2026-12-08.db", L"tlbFFFF.tmp"}), NamesIn(folder));
}
