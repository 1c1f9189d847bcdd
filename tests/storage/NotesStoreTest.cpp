// The notes store without windows, on real database files in a temporary
// folder: what each operation leaves in the table, read back through a
// connection of the test's own.
#include "storage/NotesStore.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "storage/CppSQLite3DB.h"
#include "support/SeededStore.h"
#include "support/StorageFailure.h"
#include "support/TempDir.h"

namespace {

const wchar_t kDefaultText[] = L" This is a place for your quick notes...";

// The rows by parent as one line, e.g. "0:[1 Root] 1:[2 Second, 4 Fourth]".
std::wstring Describe(const NotesStore::RowsByParent& rows) {
    std::wstring text;
    for (const auto& level : rows) {
        if (!text.empty())
            text += L' ';
        text += std::to_wstring(level.first) + L":[";
        for (size_t i = 0; i < level.second.size(); ++i)
            text += (i ? L", " : L"") + std::to_wstring(level.second[i].id) + L' ' + level.second[i].name;
        text += L']';
    }
    return text;
}

class NotesStoreTest : public ::testing::Test {
protected:
    void SetUp() override { store.Open(path); }

    // Runs a statement through a connection of the test's own.
    void Execute(const std::wstring& sql) {
        CppSQLite3DB own(2000);
        own.Open(path);
        own.ExecuteStatement(sql);
    }
    // Adds a row; the values are placed in SQL as given (NULL, numbers, quoted texts).
    void Insert(const std::wstring& values) { Execute(L"INSERT INTO notes VALUES(" + values + L");"); }

    // Every row in id order, as "id|pid|name|note|pos" with NULL for NULL, read
    // through a connection of the test's own.
    std::vector<std::wstring> Table() {
        CppSQLite3DB own(2000);
        own.Open(path);
        std::vector<std::wstring> rows;
        for (CppSQLite3Query q = own.ExecuteQuery(L"SELECT * FROM notes ORDER BY id"); !q.AtEnd(); q.Advance()) {
            std::wstring row;
            for (const wchar_t* column : {L"id", L"pid", L"name", L"note", L"pos"}) {
                if (!row.empty())
                    row += L'|';
                row += q.TextByName(column, L"NULL");
            }
            rows.push_back(row);
        }
        return rows;
    }

    TempDir dir;
    std::wstring path = dir.File(NotesStore::kDefaultFileName);
    CppSQLite3DB db{2000};
    NotesStore store{db};
};

}  // namespace

TEST_F(NotesStoreTest, OpenCreatesTheFileWithoutATableAndCloseEndsIt) {
    EXPECT_TRUE(FileExists(path));
    EXPECT_TRUE(store.IsOpen());
    EXPECT_FALSE(store.HasTable());
    store.Close();
    EXPECT_FALSE(store.IsOpen());
    EXPECT_NO_THROW(store.Close());
    auto failure = FailureOf([&] { store.LoadNote(1); });
    ASSERT_TRUE(failure);
    EXPECT_STREQ(failure->Message(), L"CPPSQLITE_ERROR[1000]: Database not open");
}

TEST_F(NotesStoreTest, CreateTableMakesTheTableWithTheDefaultNote) {
    store.CreateTable();
    EXPECT_TRUE(store.HasTable());
    EXPECT_EQ(Table(), (std::vector<std::wstring>{L"1|0|Note|" + std::wstring(kDefaultText) + L"|0"}));
    CppSQLite3DB own(2000);
    own.Open(path);
    CppSQLite3Query schema = own.ExecuteQuery(L"SELECT sql FROM sqlite_master WHERE name='notes'");
    EXPECT_EQ(schema.TextByName(L"sql", L""),
              L"CREATE TABLE notes (id INTEGER PRIMARY KEY, pid INTEGER, name TEXT, note TEXT, pos INTEGER)");
}

TEST_F(NotesStoreTest, CreateTableOnAnExistingTableKeepsItsRowsAndAddsTheDefaultNote) {
    SeedNotes(path, {{5, 9, L"Orphan", L"lost parent"}});
    store.CreateTable();
    EXPECT_EQ(Table(), (std::vector<std::wstring>{L"5|9|Orphan|lost parent|0",
                                                  L"6|0|Note|" + std::wstring(kDefaultText) + L"|0"}));
}

TEST_F(NotesStoreTest, AFailedCreationRollsBackAndLeavesNoTransactionOpen) {
    // A view named notes lets the creation begin and then fail inside its transaction.
    Execute(L"CREATE VIEW notes AS SELECT 1 AS id, 7 AS pid, 'v' AS name, '' AS note, 0 AS pos;");
    auto failure = FailureOf([&] { store.CreateTable(); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Code(), 1);
    // Both this connection and another can start writing at once.
    EXPECT_NO_THROW(db.ExecuteStatement(L"begin transaction;"));
    EXPECT_NO_THROW(db.ExecuteStatement(L"rollback transaction;"));
    CppSQLite3DB other(500);
    other.Open(path);
    EXPECT_NO_THROW(other.ExecuteStatement(L"CREATE TABLE probe (x INTEGER);"));
}

TEST_F(NotesStoreTest, ACreationRefusedByATriggerLeavesTheTableUnchanged) {
    SeedNotes(path, {{3, 0, L"Kept", L"as it was", 7}});
    Execute(L"CREATE TRIGGER no_add BEFORE INSERT ON notes BEGIN SELECT RAISE(ABORT, 'no room'); END;");
    auto failure = FailureOf([&] { store.CreateTable(); });
    ASSERT_TRUE(failure);
    EXPECT_STREQ(failure->Message(), L"SQLITE_ERROR[1]: no room");
    EXPECT_EQ(Table(), (std::vector<std::wstring>{L"3|0|Kept|as it was|7"}));
    EXPECT_NO_THROW(db.ExecuteStatement(L"begin transaction;"));
    EXPECT_NO_THROW(db.ExecuteStatement(L"rollback transaction;"));
}

TEST_F(NotesStoreTest, TreeRowsComeByParentInAscendingIdOrderWithOrWithoutTheTreeIndex) {
    SeedNotes(path, {{1, 0, L"Root"},
                     {4, 1, L"Fourth"},
                     {2, 1, L"Second"},
                     {3, 2, L"Third under second"},
                     {5, 0, L"Another root"}});
    const std::wstring expected = L"0:[1 Root, 5 Another root] 1:[2 Second, 4 Fourth] 2:[3 Third under second]";
    auto indexes = [&] {
        CppSQLite3DB own(2000);
        own.Open(path);
        return own.ExecuteScalar(L"SELECT count(*) FROM sqlite_master WHERE type='index' AND name='notes_tree';");
    };
    // The first read gives the file the tree's index, which changes no order.
    EXPECT_EQ(Describe(store.ReadTreeRows()), expected);
    EXPECT_EQ(indexes(), 1);
    Insert(L"0, 0, 'Zero', 'first by id', 0");
    EXPECT_EQ(Describe(store.ReadTreeRows()),
              L"0:[0 Zero, 1 Root, 5 Another root] 1:[2 Second, 4 Fourth] 2:[3 Third under second]");

    // While another program writes, the file can't take the index: it is read
    // from its table, and given the index at a later opening.
    store.Close();
    Execute(L"DROP INDEX notes_tree;");
    Execute(L"DELETE FROM notes WHERE id=0;");
    CppSQLite3DB writer(0);
    writer.Open(path);
    writer.ExecuteStatement(L"BEGIN IMMEDIATE;");
    store.Open(path);
    store.SetBusyWait(50);
    EXPECT_EQ(Describe(store.ReadTreeRows()), expected);
    writer.ExecuteStatement(L"ROLLBACK;");
    EXPECT_EQ(indexes(), 0);
    store.Close();
    store.Open(path);
    EXPECT_EQ(Describe(store.ReadTreeRows()), expected);
    EXPECT_EQ(indexes(), 1);
}

TEST_F(NotesStoreTest, TreeRowsNameANamelessNoteNoteAndSkipRowsWithoutAParent) {
    SeedNotes(path, {});
    Insert(L"1, 0, NULL, 'nameless', 0");
    Insert(L"2, NULL, 'No parent', 'hidden', 0");
    Insert(L"3, 2, 'Below it', 'hidden too', 0");
    Insert(L"4, 1, '', 'empty name', 0");
    EXPECT_EQ(Describe(store.ReadTreeRows()), L"0:[1 Note] 1:[4 ] 2:[3 Below it]");
}

TEST_F(NotesStoreTest, TreeRowsKeepOrphansAndASelfParentedRowUnderTheirParentIds) {
    SeedNotes(path,
              {{5, 9, L"Orphan", L"lost parent"}, {6, 5, L"Grandchild", L"deeper"}, {7, 7, L"Own parent", L"loop"}});
    EXPECT_EQ(Describe(store.ReadTreeRows()), L"5:[6 Grandchild] 7:[7 Own parent] 9:[5 Orphan]");
}

TEST_F(NotesStoreTest, TreeRowsOfAnEmptyTableAreNone) {
    SeedNotes(path, {});
    EXPECT_TRUE(store.ReadTreeRows().empty());
}

TEST_F(NotesStoreTest, SaveAndLoadRoundTripTextWithQuotesAndPosition) {
    store.CreateTable();
    const std::wstring text = L"'quoted' and ''doubled''\r\nit's Gr\u00fc\u00dfe \u2013 \u65e5\u672c";
    store.SaveNote(1, text, 3 * 65536 + 10);
    EXPECT_EQ(Table(), (std::vector<std::wstring>{L"1|0|Note|" + text + L"|196618"}));
    NotesStore::NoteContent note = store.LoadNote(1);
    EXPECT_EQ(note.text, text);
    EXPECT_EQ(note.pos, 196618);

    // A first visible line past 32767 packs into a negative position, kept as it is.
    store.SaveNote(1, L"", static_cast<int>(0x8000FFFFu));
    note = store.LoadNote(1);
    EXPECT_EQ(note.text, L"");
    EXPECT_EQ(note.pos, static_cast<int>(0x8000FFFFu));
}

TEST_F(NotesStoreTest, LoadGivesEmptyTextAndPositionZeroForNullsAndAMissingRow) {
    SeedNotes(path, {});
    Insert(L"1, 0, 'Nulls', NULL, NULL");
    NotesStore::NoteContent note = store.LoadNote(1);
    EXPECT_EQ(note.text, L"");
    EXPECT_EQ(note.pos, 0);
    note = store.LoadNote(42);
    EXPECT_EQ(note.text, L"");
    EXPECT_EQ(note.pos, 0);
}

TEST_F(NotesStoreTest, SaveChangesOnlyItsOwnNoteAndAMissingOneNothing) {
    SeedNotes(path, {{1, 0, L"A", L"alpha", 1}, {2, 0, L"B", L"beta", 2}});
    store.SaveNote(2, L"new beta", 5);
    store.SaveNote(3, L"nowhere", 9);
    EXPECT_EQ(Table(), (std::vector<std::wstring>{L"1|0|A|alpha|1", L"2|0|B|new beta|5"}));
}

TEST_F(NotesStoreTest, TheDataVersionMovesWithAnotherConnectionsCommitsOnly) {
    SeedNotes(path, {{1, 0, L"A", L"alpha"}});
    const long long before = store.DataVersion();
    store.SaveNote(1, L"own", 0);
    store.AddNote(0, L"own too");
    EXPECT_EQ(store.DataVersion(), before);
    Execute(L"UPDATE notes SET note='other' WHERE id=1;");
    EXPECT_NE(store.DataVersion(), before);
}

TEST_F(NotesStoreTest, AddReturnsTheNewIdOfAnEmptyNoteUnderItsParent) {
    store.CreateTable();
    EXPECT_EQ(store.AddNote(0, L"O'Brien"), 2);
    EXPECT_EQ(store.AddNote(2, L"Child"), 3);
    EXPECT_EQ(store.AddNote(0, L""), 4);
    EXPECT_EQ(Table(), (std::vector<std::wstring>{L"1|0|Note|" + std::wstring(kDefaultText) + L"|0", L"2|0|O'Brien||0",
                                                  L"3|2|Child||0", L"4|0|||0"}));
    // The id follows the largest one in the table.
    SeedNotes(path, {{10, 0, L"Ten"}});
    EXPECT_EQ(store.AddNote(10, L"After ten"), 11);
}

TEST_F(NotesStoreTest, RenameChangesOnlyTheName) {
    SeedNotes(path, {{1, 0, L"Work", L"work text", 4}, {2, 1, L"Home", L"home text"}});
    store.RenameNote(1, L"Mrs O'Hara's");
    EXPECT_EQ(Table(), (std::vector<std::wstring>{L"1|0|Mrs O'Hara's|work text|4", L"2|1|Home|home text|0"}));
}

TEST_F(NotesStoreTest, TreeChangesCheckTheFileAndNeverLeaveANoteCutOffFromTheTop) {
    // 5 is a row a hand-made file holds out of reach: it stays so.
    SeedNotes(
        path,
        {{1, 0, L"A", L"alpha", 3}, {2, 1, L"B", L"beta"}, {3, 2, L"C", L"gamma", 4}, {4, 0, L"D"}, {5, 99, L"Lost"}});
    store.MoveNote(2, 4);
    EXPECT_EQ(Describe(store.ReadTreeRows()), L"0:[1 A, 4 D] 2:[3 C] 4:[2 B] 99:[5 Lost]");

    // Into itself or below itself, under a note that is gone or out of reach, or a note that is gone.
    const std::vector<std::pair<long long, long long>> refused = {{2, 2}, {2, 3}, {1, 42}, {1, 5}, {42, 1}};
    const std::vector<std::wstring> before = Table();
    for (const auto& [note, parent] : refused) {
        EXPECT_THROW(store.MoveNote(note, parent), NotesStore::TreeChanged) << note << " under " << parent;
        EXPECT_EQ(Table(), before);
    }
    EXPECT_THROW(store.AddNote(5, L"Unseen"), NotesStore::TreeChanged);
    EXPECT_THROW(store.AddNote(42, L"Unseen"), NotesStore::TreeChanged);
    EXPECT_THROW(store.RenameNote(42, L"Unseen"), NotesStore::TreeChanged);
    EXPECT_EQ(Table(), before);

    // A delete takes the subtree as the file holds it, in tree order.
    const std::vector<NotesStore::Row> deleted = store.DeleteBranch(4);
    std::vector<std::wstring> names;
    for (const NotesStore::Row& row : deleted)
        names.push_back(std::to_wstring(row.id) + L"<" + std::to_wstring(row.parentId) + L" " + row.name + L"=" +
                        row.text);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"4<0 D=", L"2<4 B=beta", L"3<2 C=gamma"}));
    EXPECT_EQ(Table(), (std::vector<std::wstring>{L"1|0|A|alpha|3", L"5|99|Lost||0"}));
    EXPECT_THROW(store.DeleteBranch(4), NotesStore::TreeChanged);
}

TEST_F(NotesStoreTest, AChangeRefusedByATriggerThrowsAndLeavesTheTableUnchanged) {
    SeedNotes(path, {{1, 0, L"A", L"alpha", 1}, {2, 1, L"B", L"beta", 2}});
    Execute(L"CREATE TRIGGER no_add BEFORE INSERT ON notes BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    Execute(L"CREATE TRIGGER no_change BEFORE UPDATE ON notes BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    Execute(L"CREATE TRIGGER no_delete BEFORE DELETE ON notes BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    const std::vector<std::wstring> before = Table();

    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"SaveNote", [&] { store.SaveNote(1, L"lost", 9); }},
        {"AddNote", [&] { store.AddNote(0, L"Extra"); }},
        {"RenameNote", [&] { store.RenameNote(1, L"Renamed"); }},
        {"DeleteBranch", [&] { store.DeleteBranch(2); }},
        {"MoveNote", [&] { store.MoveNote(2, 0); }},
    };
    for (const auto& change : changes) {
        auto failure = FailureOf(change.second);
        ASSERT_TRUE(failure) << change.first << " did not fail";
        EXPECT_STREQ(failure->Message(), L"SQLITE_ERROR[1]: refused") << change.first;
        EXPECT_EQ(Table(), before) << change.first;
    }
}

TEST_F(NotesStoreTest, VacuumCompactsTheFileAndKeepsTheNotes) {
    SeedNotes(path, {{1, 0, L"Keep", L"kept"}, {2, 0, L"Big", std::wstring(200000, L'x')}});
    Execute(L"DELETE FROM notes WHERE id=2;");
    const size_t withFreeSpace = ReadFileBytes(path).size();
    ASSERT_GT(withFreeSpace, 300000u);
    store.Vacuum();
    EXPECT_LT(ReadFileBytes(path).size(), withFreeSpace / 4);
    EXPECT_EQ(Table(), (std::vector<std::wstring>{L"1|0|Keep|kept|0"}));
}

TEST_F(NotesStoreTest, CloseQuietlySwallowsARefusalAndTheStoreStaysOpen) {
    store.CreateTable();
    {
        // A cursor still open keeps SQLite from closing the connection.
        CppSQLite3Query open = db.ExecuteQuery(L"SELECT * FROM notes");
        EXPECT_TRUE(FailureOf([&] { store.Close(); }));
        EXPECT_NO_THROW(store.CloseQuietly());
        EXPECT_TRUE(store.IsOpen());
    }
    store.CloseQuietly();
    EXPECT_FALSE(store.IsOpen());
}
