// A database of the previous release ("notes.db", texts in the ANSI code page)
// carried over into the current file when the program starts without one.
#include <sqlite3.h>

#include "storage/CppSQLite3DB.h"
#include "storage/OldDatabase.h"
#include "support/MainWindowFixture.h"

namespace {
struct OldRow {
    int id;
    int pid;
    const wchar_t* name;
    const wchar_t* note;  // null: NULL in the file
    int pos;
};

std::string Ansi(const std::wstring& text) {
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes.data(), length, nullptr, nullptr);
    bytes.pop_back();
    return bytes;
}

// Writes an old-format file through SQLite's 8-bit interface, the texts as ANSI bytes.
void MakeOldDatabase(const std::wstring& path, const std::vector<OldRow>& rows, const char* table = "notes") {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(Ansi(path).c_str(), &db), SQLITE_OK);
    const std::string create = std::string("CREATE TABLE ") + table +
                               " (id INTEGER PRIMARY KEY, pid INTEGER, name TEXT, note TEXT, pos INTEGER);";
    ASSERT_EQ(sqlite3_exec(db, create.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
    for (const OldRow& row : rows) {
        sqlite3_stmt* insert = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, "INSERT INTO notes VALUES(?,?,?,?,?);", -1, &insert, nullptr), SQLITE_OK);
        const std::string name = Ansi(row.name);
        const std::string note = row.note ? Ansi(row.note) : std::string();
        sqlite3_bind_int(insert, 1, row.id);
        sqlite3_bind_int(insert, 2, row.pid);
        sqlite3_bind_text(insert, 3, name.c_str(), -1, SQLITE_TRANSIENT);
        if (row.note)
            sqlite3_bind_text(insert, 4, note.c_str(), -1, SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(insert, 4);
        sqlite3_bind_int(insert, 5, row.pos);
        EXPECT_EQ(sqlite3_step(insert), SQLITE_DONE);
        sqlite3_finalize(insert);
    }
    sqlite3_close(db);
}
}  // namespace

using OldDatabaseConversion = MainWindowTest;

TEST_F(OldDatabaseConversion, CarriesEveryRowOverAndLeavesTheOldFileAsItWas) {
    // Characters of the Western code page, which the test machine's ANSI code page must hold.
    const std::wstring accented = L"Caf\u00e9 na\u00efve \u00bd";
    BOOL lossy = FALSE;
    ::WideCharToMultiByte(CP_ACP, 0, accented.c_str(), -1, nullptr, 0, nullptr, &lossy);
    ASSERT_FALSE(lossy) << "the ANSI code page " << ::GetACP() << " cannot hold the test's characters";
    const std::vector<OldRow> rows = {
        {1, 0, accented.c_str(), L"first level", 0},
        {2, 1, L"It's Bob's", L"say 'hello' and ''twice''", 17},
        {3, 2, L"Third level", nullptr, 3},
        {7, 0, L"Second top", L"\u00e0 bient\u00f4t", 0},
    };
    const std::wstring oldPath = dir.File(OldDatabase::kFileName);
    MakeOldDatabase(oldPath, rows);
    const std::string oldBytes = ReadFileBytes(oldPath);
    Start();

    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_EQ(modal.Boxes()[0].text,
              L"Tallyleaf has successfully converted your database to new format.\n\n  Old database file is " +
                  oldPath + L" \n\n  New file is " + DbPath());
    EXPECT_EQ(modal.Boxes()[0].icon, ModalAnswer::StockIcon(IDI_INFORMATION));
    EXPECT_EQ(ReadFileBytes(oldPath), oldBytes);

    CppSQLite3DB db(2000);
    db.Open(DbPath());
    CppSQLite3Query q = db.ExecuteQuery(L"SELECT * FROM notes ORDER BY id;");
    for (const OldRow& row : rows) {
        ASSERT_FALSE(q.AtEnd());
        EXPECT_EQ(q.IntByName(L"id", -1), row.id);
        EXPECT_EQ(q.IntByName(L"pid", -1), row.pid);
        EXPECT_EQ(q.TextByName(L"name", L"<null>"), row.name);
        EXPECT_EQ(q.TextByName(L"note", L"<null>"), row.note ? row.note : L"");
        EXPECT_EQ(q.IntByName(L"pos", -1), row.pos);
        q.Advance();
    }
    EXPECT_TRUE(q.AtEnd());
    q.Finish();

    // The tree has the old shape.
    ASSERT_NE(FindItem(L"Third level"), nullptr);
    EXPECT_EQ(dlg->Parts().tree.GetParentItem(FindItem(L"Third level")), FindItem(L"It's Bob's"));
    EXPECT_EQ(dlg->Parts().tree.GetParentItem(FindItem(L"It's Bob's")), FindItem(accented));
    EXPECT_EQ(dlg->Parts().tree.GetNextSiblingItem(FindItem(accented)), FindItem(L"Second top"));
}

TEST_F(OldDatabaseConversion, WithNeitherFileThereIsNothingToSayAndTheFirstNote) {
    Start();
    EXPECT_TRUE(modal.Boxes().empty());
    EXPECT_EQ(StoredCount(), 1);
    EXPECT_EQ(dlg->Parts().tree.GetItemText(dlg->Parts().tree.GetRootItem()), L"Note");
}

TEST_F(OldDatabaseConversion, AnOldFileWithoutTheTableIsNotConverted) {
    MakeOldDatabase(dir.File(OldDatabase::kFileName), {}, "something_else");
    Start();
    ASSERT_EQ(modal.Boxes().size(), 2u);
    EXPECT_EQ(modal.Boxes()[0].text, L"no such table: notes");
    EXPECT_EQ(modal.Boxes()[0].icon, nullptr);
    EXPECT_EQ(modal.Boxes()[1].text, L"Can't convert database to new format.");
    EXPECT_EQ(modal.Boxes()[1].icon, ModalAnswer::StockIcon(IDI_ERROR));
    // The program goes on with a new store.
    EXPECT_EQ(StoredCount(), 1);
    EXPECT_EQ(dlg->Parts().tree.GetCount(), 1u);
}

TEST_F(OldDatabaseConversion, ACommitThatFailsIsReportedAndNotCalledASuccess) {
    MakeOldDatabase(dir.File(OldDatabase::kFileName), {{1, 0, L"Old", L"text", 0}});
    // Another program holds the new file's journal open and does not let it be
    // deleted: SQLite's commit ends by deleting it, and fails.
    HANDLE journal =
        ::CreateFileW(dir.File(std::wstring(NotesStore::kDefaultFileName) + L"-journal").c_str(), GENERIC_READ,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(journal, INVALID_HANDLE_VALUE);
    Start();
    ::CloseHandle(journal);

    ASSERT_FALSE(modal.Boxes().empty());
    const ModalAnswer::Box& failure = modal.Boxes()[0];
    // The exception's message alone: SQLite ends a commit by deleting the journal.
    EXPECT_EQ(failure.text, L"SQLITE_ERROR[1]: disk I/O error");
    EXPECT_EQ(failure.icon, ModalAnswer::StockIcon(IDI_ERROR));
    for (const ModalAnswer::Box& box : modal.Boxes())
        EXPECT_EQ(box.text.find(L"successfully"), std::wstring::npos) << "a failed conversion called a success";
}

TEST_F(OldDatabaseConversion, ANewFileThatCantBeOpenedIsSaidOnceNotOncePerNote) {
    MakeOldDatabase(dir.File(OldDatabase::kFileName),
                    {{1, 0, L"One", L"1", 0}, {2, 0, L"Two", L"2", 0}, {3, 0, L"Three", L"3", 0}});
    const std::wstring unopenable = dir.File(L"no such folder\\notes2.db");
    Configure(L"Main", L"DBPath", unopenable);
    Start();
    // The conversion's one message, then the store's own about the same file.
    ASSERT_EQ(modal.Boxes().size(), 2u);
    EXPECT_EQ(modal.Boxes()[0].text.rfind(L"SQLITE_CANTOPEN[14]: ", 0), 0u);
    EXPECT_EQ(modal.Boxes()[1].text.rfind(L"Tallyleaf: Can't open database.\n Error #1 - ", 0), 0u);
    EXPECT_FALSE(FileExists(unopenable));
}
