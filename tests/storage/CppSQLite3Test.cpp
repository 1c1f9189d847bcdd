// The database access layer against real database files in a temporary folder.
#include "storage/CppSQLite3DB.h"
#include "storage/NotesStore.h"
#include "support/StorageFailure.h"
#include "support/TempDir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace {

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

bool Contains(const std::wstring& text, const std::wstring& part) {
    return text.find(part) != std::wstring::npos;
}

const wchar_t kCreateNotes[] =
    L"create table notes (id integer primary key, pid integer, name text, note text, pos integer);";

std::wstring NoteText(CppSQLite3DB& db, long long id) {
    CppSQLite3Query query = db.ExecuteQuery(L"select note from notes where id=?;", {id});
    if (query.AtEnd())
        return L"<no row>";
    return query.TextByName(L"note", L"<null>");
}

void AddNote(CppSQLite3DB& db, long long id, const std::wstring& name, const std::wstring& note) {
    db.ExecuteStatement(L"insert into notes (id, pid, name, note, pos) values (?, 0, ?, ?, ?);", {id, name, note, id});
}

// A fresh database file with an empty notes table, open on `db`.
class NotesFile : public ::testing::Test {
protected:
    void SetUp() override {
        db.Open(path);
        db.ExecuteStatement(kCreateNotes);
    }

    TempDir dir;
    std::wstring path = dir.File(NotesStore::kDefaultFileName);
    CppSQLite3DB db;
};

// Makes a file read-only for as long as it lives. Wine running as root ignores
// the read-only attribute (root may write any file), so where a write open still
// succeeds the file is also held open by a handle that lets nobody else write it:
// SQLite then finds it unwritable, as it does a read-only file on Windows.
class ReadOnlyFile {
public:
    explicit ReadOnlyFile(const std::wstring& path) : m_path(path) {
        SetReadOnly(m_path, true);
        if (Writable(m_path))
            m_denyWriters = ::CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~ReadOnlyFile() {
        if (m_denyWriters != INVALID_HANDLE_VALUE)
            ::CloseHandle(m_denyWriters);
        SetReadOnly(m_path, false);
    }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    static bool Writable(const std::wstring& path) {
        HANDLE probe = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE)
            return false;
        ::CloseHandle(probe);
        return true;
    }

private:
    std::wstring m_path;
    HANDLE m_denyWriters = INVALID_HANDLE_VALUE;
};

class SqliteConnection : public NotesFile {};
class SqliteStatement : public NotesFile {};
class SqliteQuery : public NotesFile {};
class SqliteFailures : public NotesFile {};

}  // namespace

// ---------------------------------------------------------------------------
// Exception text, code names and quoting

TEST(SqliteErrorText, MessageIsCodeNameCodeAndDetail) {
    CppSQLite3Exception notOpen(CPPSQLITE_ERROR, L"Database not open");
    EXPECT_EQ(notOpen.Code(), 1000);
    EXPECT_STREQ(notOpen.Message(), L"CPPSQLITE_ERROR[1000]: Database not open");

    CppSQLite3Exception busy(5, L"database is locked");
    EXPECT_STREQ(busy.Message(), L"SQLITE_BUSY[5]: database is locked");

    CppSQLite3Exception noDetail(26, nullptr);
    EXPECT_EQ(noDetail.Code(), 26);
    EXPECT_STREQ(noDetail.Message(), L"UNKNOWN_ERROR[26]: ");

    // The names of the result codes, and extended codes unnamed.
    const std::pair<int, std::wstring> names[] = {
        {0, L"SQLITE_OK"},        {1, L"SQLITE_ERROR"},    {5, L"SQLITE_BUSY"},        {8, L"SQLITE_READONLY"},
        {14, L"SQLITE_CANTOPEN"}, {17, L"SQLITE_SCHEMA"},  {19, L"SQLITE_CONSTRAINT"}, {23, L"SQLITE_AUTH"},
        {25, L"SQLITE_RANGE"},    {100, L"SQLITE_ROW"},    {101, L"SQLITE_DONE"},      {27, L"UNKNOWN_ERROR"},
        {99, L"UNKNOWN_ERROR"},   {102, L"UNKNOWN_ERROR"}, {-1, L"UNKNOWN_ERROR"},     {999, L"UNKNOWN_ERROR"},
        {1001, L"UNKNOWN_ERROR"}, {261, L"UNKNOWN_ERROR"},  // SQLITE_BUSY_RECOVERY
    };
    for (const auto& [code, name] : names)
        EXPECT_EQ(CppSQLite3Exception(code, L"x").Message(), name + L"[" + std::to_wstring(code) + L"]: x");
}

TEST(SqliteErrorText, CopyKeepsCodeAndMessageOfItsOwn) {
    std::optional<CppSQLite3Exception> copy;
    {
        std::wstring detail = L"attempt to write a readonly database";
        CppSQLite3Exception original(8, detail.c_str());
        copy = original;
        detail.assign(detail.size(), L'x');
    }
    EXPECT_EQ(copy->Code(), 8);
    EXPECT_STREQ(copy->Message(), L"SQLITE_READONLY[8]: attempt to write a readonly database");

    CppSQLite3Exception assigned(0, L"");
    assigned = *copy;
    EXPECT_EQ(assigned.Code(), 8);
    EXPECT_STREQ(assigned.Message(), copy->Message());
}

// ---------------------------------------------------------------------------
// Opening and closing

TEST(SqliteConnectionFile, NewFileIsCreatedInUtf16AndReopensWithItsData) {
    TempDir dir;
    const std::wstring path = dir.File(L"fresh.db");
    CppSQLite3DB db;
    EXPECT_FALSE(db.IsOpen());
    db.Open(path);
    EXPECT_TRUE(db.IsOpen());
    EXPECT_TRUE(FileExists(path));
    {
        CppSQLite3Query encoding = db.ExecuteQuery(L"PRAGMA encoding;");
        ASSERT_FALSE(encoding.AtEnd());
        EXPECT_EQ(encoding.TextByName(L"encoding", L""), L"UTF-16le");
    }
    db.ExecuteStatement(kCreateNotes);
    AddNote(db, 1, L"first", L"kept across a close");
    db.Close();
    EXPECT_FALSE(db.IsOpen());
    EXPECT_NO_THROW(db.Close());

    db.Open(path);
    EXPECT_EQ(NoteText(db, 1), L"kept across a close");
}

TEST(SqliteConnectionFile, OpensAFileUnderANonAsciiPath) {
    TempDir dir;
    const std::wstring folder = dir.File(L"\x0417\x0430\x043C\x0435\x0442\x043A\x0438 \x7B46\x8BB0");
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring path = folder + L"\\" + NotesStore::kDefaultFileName;
    CppSQLite3DB db;
    db.Open(path);
    db.ExecuteStatement(kCreateNotes);
    db.Close();
    EXPECT_TRUE(FileExists(path));
}

TEST(SqliteConnectionFile, FailedOpenLeavesTheObjectClosedAndUsable) {
    TempDir dir;
    CppSQLite3DB db;
    auto failure = FailureOf([&] { db.Open(dir.File(L"no such folder\\notes2.db")); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Code(), 14);
    EXPECT_TRUE(StartsWith(failure->Message(), L"SQLITE_CANTOPEN[14]: ")) << failure->Message();
    EXPECT_FALSE(db.IsOpen());
    EXPECT_NO_THROW(db.Close());

    db.Open(dir.File(NotesStore::kDefaultFileName));
    EXPECT_TRUE(db.IsOpen());
    EXPECT_EQ(db.ExecuteScalar(L"select 7;"), 7);
}

TEST(SqliteConnectionFile, ClosedConnectionRefusesEveryStatement) {
    TempDir dir;
    CppSQLite3DB db;
    auto expectNotOpen = [](std::optional<CppSQLite3Exception> failure) {
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->Code(), CPPSQLITE_ERROR);
        EXPECT_STREQ(failure->Message(), L"CPPSQLITE_ERROR[1000]: Database not open");
    };
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "never opened" : "opened and closed");
        expectNotOpen(FailureOf([&] { db.ExecuteStatement(kCreateNotes); }));
        expectNotOpen(FailureOf([&] { db.ExecuteQuery(L"select 1;"); }));
        expectNotOpen(FailureOf([&] { db.ExecuteScalar(L"select 1;"); }));
        expectNotOpen(FailureOf([&] { db.HasTable(L"notes"); }));
        expectNotOpen(FailureOf([&] { db.Prepare(L"select 1;"); }));
        db.Open(dir.File(NotesStore::kDefaultFileName));
        db.Close();
    }
}

TEST_F(SqliteConnection, OpenWhileOpenSwitchesToTheNewFile) {
    const std::wstring other = dir.File(L"other.db");
    db.Open(other);
    EXPECT_FALSE(db.HasTable(L"notes"));
    db.Close();
    EXPECT_TRUE(FileExists(other));
    db.Open(path);
    EXPECT_TRUE(db.HasTable(L"notes"));
}

TEST_F(SqliteConnection, CloseIsRefusedWhileACursorIsOpen) {
    AddNote(db, 1, L"a", L"text");
    {
        CppSQLite3Query open = db.ExecuteQuery(L"select * from notes;");
        auto failure = FailureOf([&] { db.Close(); });
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->Code(), 5);
        EXPECT_TRUE(db.IsOpen());
        // The connection stays fully usable, the cursor too.
        EXPECT_EQ(db.ExecuteScalar(L"select count(*) from notes;"), 1);
        EXPECT_EQ(open.TextByName(L"note", L""), L"text");
    }
    EXPECT_NO_THROW(db.Close());
    EXPECT_FALSE(db.IsOpen());
}

TEST_F(SqliteConnection, HasTableFindsOnlyExistingTables) {
    EXPECT_TRUE(db.HasTable(L"notes"));
    EXPECT_FALSE(db.HasTable(L"note"));
    EXPECT_FALSE(db.HasTable(L""));
    db.ExecuteStatement(L"create view notes_view as select * from notes;");
    EXPECT_FALSE(db.HasTable(L"notes_view"));
}

TEST_F(SqliteConnection, HasTableTakesNamesOfAnyLengthAndContent) {
    const std::wstring longName(300, L'n');
    db.ExecuteStatement(L"create table " + longName + L" (a);");
    EXPECT_TRUE(db.HasTable(longName));
    EXPECT_FALSE(db.HasTable(std::wstring(299, L'n')));
    // A quote in the name is looked up, never run.
    EXPECT_FALSE(db.HasTable(L"x' or '1'='1"));
}

// ---------------------------------------------------------------------------
// Statements and scalars

TEST_F(SqliteStatement, UpdateReturnsZeroWhetherOrNotARowMatched) {
    AddNote(db, 1, L"a", L"before");
    EXPECT_EQ(db.ExecuteStatement(L"update notes set note='nobody' where id=99;"), 0);
    EXPECT_EQ(NoteText(db, 1), L"before");
    EXPECT_EQ(db.ExecuteScalar(L"select count(*) from notes;"), 1);

    EXPECT_EQ(db.ExecuteStatement(L"update notes set note='after' where id=1;"), 0);
    EXPECT_EQ(NoteText(db, 1), L"after");
}

TEST_F(SqliteStatement, TransactionsCommitAndRollBack) {
    db.ExecuteStatement(L"begin transaction;");
    AddNote(db, 1, L"a", L"x");
    db.ExecuteStatement(L"commit transaction;");
    db.ExecuteStatement(L"begin transaction;");
    AddNote(db, 2, L"b", L"y");
    db.ExecuteStatement(L"rollback transaction;");
    EXPECT_EQ(db.ExecuteScalar(L"select count(*) from notes;"), 1);
    EXPECT_EQ(db.ExecuteStatement(L"Vacuum"), 0);
}

TEST_F(SqliteStatement, OnlyTheFirstStatementOfATextRuns) {
    db.ExecuteStatement(L"insert into notes (id) values (1); insert into notes (id) values (2);");
    EXPECT_EQ(db.ExecuteScalar(L"select count(*) from notes;"), 1);
    EXPECT_EQ(db.ExecuteScalar(L"select max(id) from notes;"), 1);
}

TEST_F(SqliteStatement, TextWithoutAStatementDoesNothing) {
    EXPECT_EQ(db.ExecuteStatement(L""), 0);
    EXPECT_EQ(db.ExecuteStatement(L"  -- only a comment"), 0);
    auto failure = FailureOf([&] { db.ExecuteQuery(L"   "); });
    ASSERT_TRUE(failure);
    EXPECT_STREQ(failure->Message(), L"CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer");
}

TEST_F(SqliteStatement, BoundValuesStayValuesWhateverTheyHold) {
    AddNote(db, 1, L"one", L"first");
    AddNote(db, 2, L"two", L"second");
    // A lone high surrogate before a quote, then SQL: written into the
    // statement's text, the surrogate took the first of a doubled quote along
    // and the rest ran as SQL on every row.
    const std::wstring payload = L"hello\xD83D', pos=7, name=char(80,87,78,69,68) --";
    const std::wstring withNul(L"a\0b'c", 5);
    db.ExecuteStatement(L"update notes set note=?, pos=? where id=?;", {payload, 3, 1LL});
    db.ExecuteStatement(L"update notes set name=? where id=?;", {withNul, 2});

    CppSQLite3Query rows = db.ExecuteQuery(L"select id, name, note, pos from notes order by id;");
    EXPECT_EQ(rows.TextByName(L"name", L""), L"one");
    EXPECT_EQ(rows.TextByName(L"note", L""), payload);
    EXPECT_EQ(rows.IntByName(L"pos", 0), 3);
    rows.Advance();
    EXPECT_EQ(rows.TextByName(L"name", L""), withNul);
    EXPECT_EQ(rows.TextByName(L"note", L""), L"second");
    rows.Finish();

    // A value without its "?", or a "?" without its value, is never run.
    auto tooFew = FailureOf([&] { db.ExecuteStatement(L"update notes set note=? where id=?;", {payload}); });
    ASSERT_TRUE(tooFew);
    EXPECT_EQ(tooFew->Code(), 25);
    EXPECT_TRUE(FailureOf([&] { db.ExecuteScalar(L"select count(*) from notes;", {1}); }));
    EXPECT_EQ(NoteText(db, 2), L"second");
}

TEST_F(SqliteStatement, ScalarReadsTheFirstColumnAsA64BitInteger) {
    AddNote(db, 1, L"a", L"x");
    AddNote(db, 41, L"b", L"y");
    EXPECT_EQ(db.ExecuteScalar(L"select count(*) from notes;"), 2);
    EXPECT_EQ(db.ExecuteScalar(L"SELECT max(id) FROM notes;"), 41);
    EXPECT_EQ(db.ExecuteScalar(L"select id, name from notes order by id desc;"), 41);
    EXPECT_EQ(db.ExecuteScalar(L"select '  -42abc';"), -42);
    EXPECT_EQ(db.ExecuteScalar(L"select '+7';"), 7);
    EXPECT_EQ(db.ExecuteScalar(L"select 'abc';"), 0);
    EXPECT_EQ(db.ExecuteScalar(L"select '';"), 0);
    EXPECT_EQ(db.ExecuteScalar(L"select 3.9;"), 3);
    EXPECT_EQ(db.ExecuteScalar(L"select -2147483648;"), -2147483647 - 1);
    EXPECT_EQ(db.ExecuteScalar(L"select 2147483647;"), 2147483647);
    // Ids beyond 32 bits are read whole, never cut to another note's.
    EXPECT_EQ(db.ExecuteScalar(L"select 4294967297;"), 4294967297LL);
    EXPECT_EQ(db.ExecuteScalar(L"select ?;", {-9007199254740993LL}), -9007199254740993LL);
}

TEST_F(SqliteStatement, ScalarOfNullIsZero) {
    EXPECT_EQ(db.ExecuteScalar(L"select max(id) from notes;"), 0);
    EXPECT_EQ(db.ExecuteScalar(L"select null;"), 0);
}

TEST_F(SqliteStatement, ScalarOfAnEmptyResultThrows) {
    auto failure = FailureOf([&] { db.ExecuteScalar(L"select id from notes;"); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Code(), CPPSQLITE_ERROR);
    EXPECT_STREQ(failure->Message(), L"CPPSQLITE_ERROR[1000]: Invalid scalar query");
    // No statement is left behind.
    EXPECT_NO_THROW(db.Close());
}

TEST_F(SqliteStatement, TextWithQuotesAndUnicodeRoundTrips) {
    const std::wstring texts[] = {
        L"O'Brien's ''note''",
        L"\x041F\x0440\x0438\x0432\x0435\x0442, \x043C\x0438\x0440",  // Cyrillic
        L"\x4F60\x597D\x3001\x4E16\x754C",                            // CJK
        L"smile \xD83D\xDE00 end",                                    // a surrogate pair
        L"line one\r\nline two\ttab",
        L"",
    };
    int id = 1;
    for (const std::wstring& text : texts) {
        AddNote(db, id, text, text);
        CppSQLite3Query query = db.ExecuteQuery(L"select name, note from notes where id=?;", {id});
        ASSERT_FALSE(query.AtEnd());
        EXPECT_EQ(std::wstring(query.TextByName(L"name", L"<null>")), text);
        EXPECT_EQ(std::wstring(query.TextByName(L"note", L"<null>")), text);
        ++id;
    }
    // The bound text is found by an exact comparison in SQL too.
    EXPECT_EQ(db.ExecuteScalar(L"select id from notes where name=?;", {texts[0]}), 1);
    // SQLite counts the surrogate pair as one character: it was stored as valid UTF-16.
    EXPECT_EQ(db.ExecuteScalar(L"select length(note) from notes where id=4;"), 11);
}

// ---------------------------------------------------------------------------
// Cursors

TEST_F(SqliteQuery, EmptyResultIsAtEndAtOnceAndReadsDefaults) {
    CppSQLite3Query query = db.ExecuteQuery(L"select id, note from notes where pid=0 order by pos;");
    EXPECT_TRUE(query.HasStatement());
    EXPECT_TRUE(query.AtEnd());
    EXPECT_EQ(query.ColumnIndex(L"note"), 1);
    EXPECT_EQ(query.ColumnType(0), 5);
    EXPECT_EQ(query.IntByName(L"id", -3), -3);
    EXPECT_EQ(query.TextByName(L"note", L"fallback"), L"fallback");
    query.Advance();
    EXPECT_TRUE(query.AtEnd());
}

TEST_F(SqliteQuery, WalksRowsInOrderAndStaysAtTheEnd) {
    AddNote(db, 3, L"c", L"third");
    AddNote(db, 1, L"a", L"first");
    AddNote(db, 2, L"b", L"second");
    CppSQLite3Query query = db.ExecuteQuery(L"select id, name from notes order by pos;");
    std::wstring seen;
    for (; !query.AtEnd(); query.Advance())
        seen += std::to_wstring(query.IntByName(L"id", 0)) + query.TextByName(L"name", L"?") + L" ";
    EXPECT_EQ(seen, L"1a 2b 3c ");
    // Moving on from the end neither fails nor starts over at the first row.
    query.Advance();
    query.Advance();
    EXPECT_TRUE(query.AtEnd());
    EXPECT_EQ(query.IntByName(L"id", -1), -1);
}

TEST_F(SqliteQuery, NullColumnsOnARowReadTheDefault) {
    db.ExecuteStatement(L"insert into notes (id, pid, name, note, pos) values (1, null, 'named', null, 0);");
    CppSQLite3Query query = db.ExecuteQuery(L"select * from notes;");
    ASSERT_FALSE(query.AtEnd());
    EXPECT_EQ(query.IntByName(L"pid", 77), 77);
    EXPECT_EQ(query.IntByName(L"pos", 77), 0);
    EXPECT_EQ(query.TextByName(L"note", L"none"), L"none");
    EXPECT_EQ(query.TextByName(L"name", L"none"), L"named");
    EXPECT_EQ(query.IntByName(L"id", 0), 1);
}

TEST_F(SqliteQuery, ColumnTypesAndIndexRange) {
    CppSQLite3Query query = db.ExecuteQuery(L"select 1 as i, 2.5 as r, 't' as t, x'00ff' as b, null as n;");
    ASSERT_FALSE(query.AtEnd());
    EXPECT_EQ(query.ColumnType(0), 1);
    EXPECT_EQ(query.ColumnType(1), 2);
    EXPECT_EQ(query.ColumnType(2), 3);
    EXPECT_EQ(query.ColumnType(3), 4);
    EXPECT_EQ(query.ColumnType(4), 5);
    for (int index : {-1, 5, 100}) {
        auto failure = FailureOf([&] { query.ColumnType(index); });
        ASSERT_TRUE(failure) << index;
        EXPECT_STREQ(failure->Message(), L"CPPSQLITE_ERROR[1000]: Invalid field index requested");
    }
    EXPECT_EQ(query.IntByName(L"r", 0), 2);
    EXPECT_EQ(query.TextByName(L"i", L""), L"1");
}

TEST_F(SqliteQuery, ColumnNamesCompareExactly) {
    AddNote(db, 1, L"a", L"body");
    CppSQLite3Query query = db.ExecuteQuery(L"select id, note, name as note from notes;");
    ASSERT_FALSE(query.AtEnd());
    // With two columns of one name the first one wins.
    EXPECT_EQ(query.ColumnIndex(L"note"), 1);
    EXPECT_EQ(query.TextByName(L"note", L""), L"body");
    for (const wchar_t* name : {L"Note", L"NOTE", L"note ", L"not", L""}) {
        auto failure = FailureOf([&] { query.ColumnIndex(name); });
        ASSERT_TRUE(failure) << name;
        EXPECT_STREQ(failure->Message(), L"CPPSQLITE_ERROR[1000]: Invalid field name requested");
    }
    auto byName = FailureOf([&] { query.TextByName(L"Note", L"default"); });
    ASSERT_TRUE(byName);
    EXPECT_STREQ(byName->Message(), L"CPPSQLITE_ERROR[1000]: Invalid field name requested");
    EXPECT_TRUE(FailureOf([&] { query.ColumnIndex(nullptr); }));
}

TEST_F(SqliteQuery, FinishedCursorRefusesEveryOperationButFinish) {
    AddNote(db, 1, L"a", L"x");
    CppSQLite3Query query = db.ExecuteQuery(L"select id from notes;");
    query.Finish();
    EXPECT_FALSE(query.HasStatement());
    const std::wstring nullVm = L"CPPSQLITE_ERROR[1000]: Null Virtual Machine pointer";
    auto failures = {
        FailureOf([&] { query.AtEnd(); }),
        FailureOf([&] { query.Advance(); }),
        FailureOf([&] { query.ColumnIndex(L"id"); }),
        FailureOf([&] { query.ColumnType(0); }),
        FailureOf([&] { query.IntByName(L"id", 0); }),
        FailureOf([&] { query.TextByName(L"id", L""); }),
    };
    for (const auto& failure : failures) {
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->Message(), nullVm);
    }
    EXPECT_NO_THROW(query.Finish());
    EXPECT_NO_THROW(db.Close());
}

TEST_F(SqliteQuery, MovingACursorHandsOverItsStatement) {
    AddNote(db, 1, L"a", L"x");
    AddNote(db, 2, L"b", L"y");
    CppSQLite3Query first = db.ExecuteQuery(L"select id from notes order by id;");
    CppSQLite3Query moved(std::move(first));
    EXPECT_FALSE(first.HasStatement());
    EXPECT_TRUE(FailureOf([&] { first.AtEnd(); }));
    EXPECT_EQ(moved.IntByName(L"id", 0), 1);

    // Assigning over a cursor finalises the statement it had: the connection can
    // then be closed once the remaining cursor is done.
    moved = db.ExecuteQuery(L"select id from notes order by id desc;");
    EXPECT_EQ(moved.IntByName(L"id", 0), 2);
    moved.Advance();
    EXPECT_EQ(moved.IntByName(L"id", 0), 1);
    moved.Finish();
    EXPECT_NO_THROW(db.Close());
}

TEST_F(SqliteQuery, CursorsStayValidWhileTheConnectionRunsMoreQueries) {
    // The tree is filled level by level with one cursor open per level.
    db.ExecuteStatement(L"insert into notes (id, pid, name, pos) values (1, 0, 'top A', 0);");
    db.ExecuteStatement(L"insert into notes (id, pid, name, pos) values (2, 0, 'top B', 1);");
    db.ExecuteStatement(L"insert into notes (id, pid, name, pos) values (3, 1, 'child A1', 0);");
    db.ExecuteStatement(L"insert into notes (id, pid, name, pos) values (4, 3, 'grandchild', 0);");
    db.ExecuteStatement(L"insert into notes (id, pid, name, pos) values (5, 2, 'child B1', 0);");
    std::wstring outline;
    std::function<void(int, int)> fill = [&](int pid, int depth) {
        CppSQLite3Query level =
            db.ExecuteQuery(L"select id, name from notes where pid=" + std::to_wstring(pid) + L" order by pos;");
        for (; !level.AtEnd(); level.Advance()) {
            outline += std::wstring(depth, L'-') + level.TextByName(L"name", L"") + L"|";
            fill(level.IntByName(L"id", 0), depth + 1);
        }
    };
    fill(0, 0);
    EXPECT_EQ(outline, L"top A|-child A1|--grandchild|top B|-child B1|");
    EXPECT_NO_THROW(db.Close());
}

// ---------------------------------------------------------------------------
// Failures: what the caller is told, and that nothing is left behind

TEST_F(SqliteFailures, SyntaxErrorCarriesSqlitesDetail) {
    auto failure = FailureOf([&] { db.ExecuteStatement(L"updat notes set note='x';"); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Code(), 1);
    EXPECT_TRUE(StartsWith(failure->Message(), L"SQLITE_ERROR[1]: ")) << failure->Message();
    EXPECT_TRUE(Contains(failure->Message(), L"syntax error")) << failure->Message();

    auto missing = FailureOf([&] { db.ExecuteQuery(L"select * from missing;"); });
    ASSERT_TRUE(missing);
    EXPECT_STREQ(missing->Message(), L"SQLITE_ERROR[1]: no such table: missing");

    auto prepared = FailureOf([&] { db.Prepare(L"select from;"); });
    ASSERT_TRUE(prepared);
    EXPECT_EQ(prepared->Code(), 1);
    EXPECT_NO_THROW(db.Close());
}

TEST_F(SqliteFailures, ConstraintViolationThrowsWithTheReasonAndChangesNothing) {
    AddNote(db, 1, L"a", L"original");
    auto failure = FailureOf([&] { AddNote(db, 1, L"b", L"duplicate"); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Code(), 1);
    EXPECT_TRUE(Contains(failure->Message(), L"UNIQUE constraint failed")) << failure->Message();
    EXPECT_EQ(db.ExecuteScalar(L"select count(*) from notes;"), 1);
    EXPECT_EQ(NoteText(db, 1), L"original");
    EXPECT_NO_THROW(db.Close());
    EXPECT_FALSE(db.IsOpen());
}

TEST_F(SqliteFailures, RuntimeErrorOfAQueryThrows) {
    auto failure = FailureOf([&] { db.ExecuteQuery(L"select abs(-9223372036854775808);"); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Code(), 1);
    EXPECT_TRUE(Contains(failure->Message(), L"integer overflow")) << failure->Message();
    EXPECT_NO_THROW(db.Close());
}

TEST_F(SqliteFailures, ErrorWhileAdvancingFinishesTheCursor) {
    db.ExecuteStatement(L"insert into notes (id, pos) values (1, 5);");
    db.ExecuteStatement(L"insert into notes (id, pos) values (2, -9223372036854775808);");
    CppSQLite3Query query = db.ExecuteQuery(L"select abs(pos) as a from notes order by id;");
    ASSERT_FALSE(query.AtEnd());
    EXPECT_EQ(query.IntByName(L"a", 0), 5);
    auto failure = FailureOf([&] { query.Advance(); });
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->Code(), 1);
    EXPECT_TRUE(Contains(failure->Message(), L"integer overflow")) << failure->Message();
    EXPECT_FALSE(query.HasStatement());
    EXPECT_TRUE(FailureOf([&] { query.AtEnd(); }));
    EXPECT_NO_THROW(db.Close());
}

TEST_F(SqliteFailures, UpdateOfAReadOnlyFileThrowsAndKeepsTheRow) {
    AddNote(db, 1, L"a", L"as saved");
    db.Close();
    {
        ReadOnlyFile readOnly(path);
        ASSERT_FALSE(ReadOnlyFile::Writable(path));

        // SQLite opens an unwritable file for reading only.
        db.Open(path);
        EXPECT_EQ(NoteText(db, 1), L"as saved");
        auto failure = FailureOf([&] { db.ExecuteStatement(L"update notes set note='lost?' where id=1;"); });
        ASSERT_TRUE(failure) << "a write to a read-only file was reported as success";
        EXPECT_EQ(failure->Code(), 1);
        EXPECT_TRUE(Contains(failure->Message(), L"attempt to write a readonly database")) << failure->Message();
        EXPECT_EQ(NoteText(db, 1), L"as saved");
        EXPECT_NO_THROW(db.Close());
    }
    ASSERT_TRUE(ReadOnlyFile::Writable(path));
    db.Open(path);
    EXPECT_EQ(NoteText(db, 1), L"as saved");
}

TEST_F(SqliteFailures, LockHeldByAnotherConnectionThrowsBusyAfterTheTimeOut) {
    AddNote(db, 1, L"a", L"before");
    db.Close();

    CppSQLite3DB tested(200);
    tested.Open(path);
    EXPECT_EQ(NoteText(tested, 1), L"before");

    CppSQLite3DB holder;
    holder.Open(path);
    holder.ExecuteStatement(L"begin exclusive;");

    auto failure = FailureOf([&] { tested.ExecuteStatement(L"update notes set note='after' where id=1;"); });
    ASSERT_TRUE(failure) << "an update that met a lock was reported as success";
    EXPECT_EQ(failure->Code(), 5);
    EXPECT_TRUE(StartsWith(failure->Message(), L"SQLITE_BUSY[5]: ")) << failure->Message();
    auto readFailure = FailureOf([&] { NoteText(tested, 1); });
    ASSERT_TRUE(readFailure);
    EXPECT_EQ(readFailure->Code(), 5);

    holder.ExecuteStatement(L"commit;");
    EXPECT_EQ(NoteText(holder, 1), L"before");
    EXPECT_EQ(tested.ExecuteStatement(L"update notes set note='after' where id=1;"), 0);
    EXPECT_EQ(NoteText(holder, 1), L"after");
    EXPECT_NO_THROW(tested.Close());
}

TEST_F(SqliteFailures, StatementIsRerunWhenAnotherConnectionChangedTheSchema) {
    AddNote(db, 1, L"a", L"before");
    EXPECT_EQ(NoteText(db, 1), L"before");  // the schema is now cached on `db`

    CppSQLite3DB other;
    other.Open(path);
    other.ExecuteStatement(L"alter table notes add column extra integer;");

    EXPECT_EQ(db.ExecuteStatement(L"update notes set note='after' where id=1;"), 0);
    EXPECT_EQ(NoteText(other, 1), L"after");

    other.ExecuteStatement(L"create table more (a);");
    AddNote(db, 2, L"b", L"second");
    EXPECT_EQ(other.ExecuteScalar(L"select count(*) from notes;"), 2);
    EXPECT_NO_THROW(db.Close());
}

TEST_F(SqliteFailures, QueryIsRerunWhenAnotherConnectionChangedTheSchema) {
    AddNote(db, 1, L"a", L"x");
    {
        CppSQLite3Query before = db.ExecuteQuery(L"select * from notes;");
        EXPECT_TRUE(FailureOf([&] { before.ColumnIndex(L"extra"); }));
    }
    CppSQLite3DB other;
    other.Open(path);
    other.ExecuteStatement(L"alter table notes add column extra integer default 9;");

    {
        // Compiled first against the schema cached before the change, then again.
        CppSQLite3Query after = db.ExecuteQuery(L"select * from notes;");
        ASSERT_FALSE(after.AtEnd());
        EXPECT_EQ(after.IntByName(L"extra", 0), 9);
    }
    other.ExecuteStatement(L"create table more (a);");
    EXPECT_EQ(db.ExecuteScalar(L"select count(*) from notes;"), 1);
}
