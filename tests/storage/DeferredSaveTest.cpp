// The deferred save without windows: what waits, and what it writes into a
// notes store on a real database file.
#include "storage/DeferredSave.h"

#include <gtest/gtest.h>

#include <string>

#include "storage/CppSQLite3DB.h"
#include "storage/NotesStore.h"
#include "support/TempDir.h"

namespace {

class DeferredSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        store.Open(dir.File(L"notes2.db"));
        db.ExecuteStatement(
            L"CREATE TABLE notes (id INTEGER PRIMARY KEY, pid INTEGER, name TEXT, note TEXT, pos INTEGER);");
        db.ExecuteStatement(L"INSERT INTO notes VALUES(1, 0, 'A', 'alpha', 0);");
        db.ExecuteStatement(L"INSERT INTO notes VALUES(2, 0, 'B', 'beta', 0);");
    }
    // A note's row as "note|pos".
    std::wstring Stored(int id) {
        NotesStore::NoteContent note = store.LoadNote(id);
        return note.text + L"|" + std::to_wstring(note.pos);
    }

    TempDir dir;
    CppSQLite3DB db{2000};
    NotesStore store{db};
    DeferredSave save;
};

}  // namespace

TEST_F(DeferredSaveTest, NothingWaitsAtFirstAndNothingIsWritten) {
    EXPECT_FALSE(save.IsWaiting());
    EXPECT_FALSE(save.IsWaitingFor(0));
    save.WriteTo(store);
    EXPECT_EQ(Stored(1), L"alpha|0");
    EXPECT_EQ(Stored(2), L"beta|0");
    // It runs no statement at all: a closed store does not fail it.
    store.Close();
    EXPECT_NO_THROW(save.WriteTo(store));
}

TEST_F(DeferredSaveTest, ARecordedSaveWaitsForItsNoteAndIsWrittenWithItsPosition) {
    save.Record(1, L"it's new", 196618);
    EXPECT_TRUE(save.IsWaiting());
    EXPECT_TRUE(save.IsWaitingFor(1));
    EXPECT_FALSE(save.IsWaitingFor(2));
    save.WriteTo(store);
    EXPECT_EQ(Stored(1), L"it's new|196618");
    EXPECT_EQ(Stored(2), L"beta|0");
    // Writing does not forget it: the owner decides when.
    EXPECT_TRUE(save.IsWaitingFor(1));
}

TEST_F(DeferredSaveTest, AClearedSaveWritesNothing) {
    save.Record(1, L"dropped", 4);
    save.Clear();
    EXPECT_FALSE(save.IsWaiting());
    EXPECT_FALSE(save.IsWaitingFor(1));
    save.WriteTo(store);
    EXPECT_EQ(Stored(1), L"alpha|0");
    store.Close();
    EXPECT_NO_THROW(save.WriteTo(store));
}

TEST_F(DeferredSaveTest, ANewRecordReplacesTheOneWaiting) {
    save.Record(1, L"first", 1);
    save.Record(2, L"second", 2);
    EXPECT_FALSE(save.IsWaitingFor(1));
    save.WriteTo(store);
    EXPECT_EQ(Stored(1), L"alpha|0");
    EXPECT_EQ(Stored(2), L"second|2");
}

TEST_F(DeferredSaveTest, AnEmptiedNoteWaitsAndIsWrittenEmpty) {
    save.Record(1, L"", 0);
    EXPECT_TRUE(save.IsWaiting());
    save.WriteTo(store);
    EXPECT_EQ(Stored(1), L"|0");
}

TEST_F(DeferredSaveTest, AFailedWriteThrowsAndTheSaveStillWaits) {
    db.ExecuteStatement(L"CREATE TRIGGER keep BEFORE UPDATE ON notes BEGIN SELECT RAISE(ABORT, 'kept'); END;");
    save.Record(1, L"lost?", 3);
    EXPECT_THROW(save.WriteTo(store), CppSQLite3Exception);
    EXPECT_TRUE(save.IsWaitingFor(1));
    EXPECT_EQ(Stored(1), L"alpha|0");
}
