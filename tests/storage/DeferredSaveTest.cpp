// The deferred save without windows: what waits, and what it writes into a
// notes store on a real database file.
#include "storage/DeferredSave.h"

#include <gtest/gtest.h>

#include <string>

#include "storage/CppSQLite3DB.h"
#include "storage/NotesStore.h"
#include "support/SeededStore.h"
#include "support/TempDir.h"

namespace {

class DeferredSaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        SeedNotes(path, {{1, 0, L"A", L"alpha"}, {2, 0, L"B", L"beta"}});
        store.Open(path);
    }
    // A note's row as "note|pos".
    std::wstring Stored(int id) {
        NotesStore::NoteContent note = store.LoadNote(id);
        return note.text + L"|" + std::to_wstring(note.pos);
    }

    TempDir dir;
    const std::wstring path = dir.File(NotesStore::kDefaultFileName);
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

TEST_F(DeferredSaveTest, SavesWaitPerNoteAndAreWrittenInOrderWithTheirPositions) {
    save.Record(1, L"first", 1);
    save.Record(2, L"", 0);
    // A newer text of a note takes the place of the one waiting.
    save.Record(1, L"it's new", 196618);
    EXPECT_TRUE(save.IsWaitingFor(1));
    EXPECT_TRUE(save.IsWaitingFor(2));
    ASSERT_EQ(save.All().size(), 2u);
    EXPECT_EQ(save.All()[0].noteId, 2);
    save.WriteTo(store);
    EXPECT_EQ(Stored(1), L"it's new|196618");
    // An emptied note is written empty.
    EXPECT_EQ(Stored(2), L"|0");
    EXPECT_FALSE(save.IsWaiting());
}

TEST_F(DeferredSaveTest, AForgottenSaveIsNotWritten) {
    save.Record(1, L"older", 4);
    save.Record(2, L"kept", 5);
    save.Forget(1);
    EXPECT_FALSE(save.IsWaitingFor(1));
    save.WriteTo(store);
    EXPECT_EQ(Stored(1), L"alpha|0");
    EXPECT_EQ(Stored(2), L"kept|5");
}

TEST_F(DeferredSaveTest, AFailedWriteThrowsAndLeavesThatSaveAndTheRestWaiting) {
    db.ExecuteStatement(
        L"CREATE TRIGGER keep BEFORE UPDATE ON notes WHEN old.id=2 BEGIN SELECT RAISE(ABORT, 'kept'); END;");
    save.Record(1, L"written", 1);
    save.Record(2, L"refused", 2);
    save.Record(3, L"after", 3);
    EXPECT_THROW(save.WriteTo(store), CppSQLite3Exception);
    EXPECT_FALSE(save.IsWaitingFor(1));
    EXPECT_TRUE(save.IsWaitingFor(2));
    EXPECT_TRUE(save.IsWaitingFor(3));
    EXPECT_EQ(Stored(1), L"written|1");
    EXPECT_EQ(Stored(2), L"beta|0");
    // Once the refusal is gone the rest is written.
    db.ExecuteStatement(L"DROP TRIGGER keep;");
    save.WriteTo(store);
    EXPECT_EQ(Stored(2), L"refused|2");
    EXPECT_FALSE(save.IsWaiting());
}
