// What the user sees when the database file is unusable, and that nothing
// already saved is lost.
#include <algorithm>

#include "storage/CppSQLite3DB.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"
#include "support/Stopwatch.h"

namespace {
const std::wstring kOpenPrefix = L"Tallyleaf: Can't open database.\n Error #1 - ";

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.rfind(prefix, 0) == 0;
}
}  // namespace

using StoreFailures = MainWindowTest;

TEST_F(StoreFailures, ACorruptFileIsReportedOnceAndLeftUntouched) {
    std::string garbage;
    for (int i = 0; i < 8192; ++i)
        garbage += static_cast<char>((i * 7919 + 13) % 251);
    WriteFileBytes(DbPath(), garbage);
    Start();
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_TRUE(StartsWith(modal.Boxes()[0].text, kOpenPrefix));
    EXPECT_EQ(modal.Boxes()[0].icon, ModalAnswer::StockIcon(IDI_ERROR));
    EXPECT_EQ(dlg->Parts().tree.GetCount(), 0u);

    // Hiding, typing and ending bring no further boxes and write nothing.
    dlg->Parts().tray.CallUp();
    Type(L"typed into nothing");
    dlg->Parts().tray.Hide();
    Finish();
    EXPECT_EQ(modal.Boxes().size(), 1u);
    EXPECT_EQ(ReadFileBytes(DbPath()), garbage);
}

TEST_F(StoreFailures, ANotesTableWhoseIdIsNotItsIntegerPrimaryKeyIsRefusedAndLeftUntouched) {
    // As another tool may make it: two rows share id 1, and a third has none.
    Execute(L"CREATE TABLE notes (id INT, pid INTEGER, name TEXT, note TEXT, pos INTEGER);");
    Execute(L"INSERT INTO notes VALUES(1, 0, 'A', 'a', 0), (1, 0, 'B', 'b', 0), (NULL, 0, 'C', 'c', 0);");
    const std::string before = ReadFileBytes(DbPath());
    Start();
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_TRUE(StartsWith(modal.Boxes()[0].text, kOpenPrefix)) << modal.Boxes()[0].text;
    EXPECT_NE(modal.Boxes()[0].text.find(L"INTEGER PRIMARY KEY"), std::wstring::npos) << modal.Boxes()[0].text;
    EXPECT_EQ(dlg->Parts().tree.GetCount(), 0u);
    dlg->Parts().tray.CallUp();
    Type(L"typed into nothing");
    dlg->Parts().tray.Hide();
    Finish();
    EXPECT_EQ(ReadFileBytes(DbPath()), before);
}

TEST_F(StoreFailures, ADatabaseInAMissingFolderIsReportedAndNotCreated) {
    const std::wstring missing = dir.File(L"no such folder\\notes2.db");
    Configure(L"Main", L"DBPath", missing);
    Start();
    EXPECT_EQ(dlg->Parts().notes.DatabasePath(), missing);
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_TRUE(StartsWith(modal.Boxes()[0].text, kOpenPrefix + L"SQLITE_CANTOPEN[14]: "));
    EXPECT_EQ(dlg->Parts().tree.GetCount(), 0u);
    // The editor takes no typing that could not be kept.
    EXPECT_TRUE(::GetWindowLongW(dlg->Parts().editor, GWL_STYLE) & ES_READONLY);
    Finish();
    EXPECT_EQ(modal.Boxes().size(), 1u);
    EXPECT_FALSE(FileExists(missing));
    EXPECT_FALSE(FileExists(DbPath()));
}

TEST_F(StoreFailures, AReadOnlyDatabaseShowsItsNotesAndATextThatCantBeSavedEndsInARecoveryFile) {
    SeedNotes({{1, 0, L"Kept", L"saved text"}});
    const std::string before = ReadFileBytes(DbPath());
    // Another program holds the file open and lets others only read it (a read-only
    // attribute alone does not stop an administrator, who runs these tests).
    HANDLE holder = ::CreateFileW(DbPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Start();
    EXPECT_TRUE(modal.Boxes().empty());
    EXPECT_EQ(EditorText(), L"saved text");

    dlg->Parts().tray.CallUp();
    const std::wstring typed = L"unsaveable \xD83D\xDE00 ";
    Type(typed);
    dlg->Parts().tray.Hide();
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_TRUE(StartsWith(modal.Boxes()[0].text, L"Tallyleaf error: Can't save note.\n - "));
    EXPECT_EQ(modal.Boxes()[0].icon, ModalAnswer::StockIcon(IDI_ERROR));
    // The user's typing stays in the editor and waits to be written.
    EXPECT_EQ(EditorText(), typed + L"saved text");
    ASSERT_NE(dlg->Parts().notes.WaitingSaves().Find(1), nullptr);
    EXPECT_EQ(dlg->Parts().notes.WaitingSaves().Find(1)->text, typed + L"saved text");
    // The end of the program meets the same failure: the text goes into a
    // recovery file, one box says where, and the settings are still written.
    Finish();
    ASSERT_EQ(modal.Boxes().size(), 2u);
    EXPECT_TRUE(StartsWith(modal.Boxes()[1].text, L"Tallyleaf destroy error.\n - "));
    EXPECT_EQ(modal.Boxes()[1].icon, ModalAnswer::StockIcon(IDI_WARNING));
    const std::vector<std::wstring> recovered = NamesIn(dir.Path(), L"Recovered - Kept - *.txt");
    ASSERT_EQ(recovered.size(), 1u);
    EXPECT_NE(modal.Boxes()[1].text.find(dir.File(recovered[0])), std::wstring::npos);
    EXPECT_EQ(ReadFileBytes(dir.File(recovered[0])), "\xEF\xBB\xBFunsaveable \xF0\x9F\x98\x80 saved text");
    EXPECT_EQ(ConfigValue(L"Stat", L"Runs"), L"2");
    theDB.Close();
    ::CloseHandle(holder);
    EXPECT_EQ(StoredText(1), L"saved text");
    EXPECT_EQ(ReadFileBytes(DbPath()), before);
}

namespace {
// Shortens how long the program's connection waits for another's lock.
class ShortBusyWait {
public:
    ShortBusyWait() { theDB.SetBusyTimeout(50); }
    ~ShortBusyWait() { theDB.SetBusyTimeout(kUserThreadBusyWaitMs); }
    ShortBusyWait(const ShortBusyWait&) = delete;
    ShortBusyWait& operator=(const ShortBusyWait&) = delete;
};

bool EditorIsReadOnly(CTallyLeafDlg& dlg) {
    return (::GetWindowLongW(dlg.Parts().editor, GWL_STYLE) & ES_READONLY) != 0;
}
}  // namespace

TEST_F(StoreFailures, ANoteLockedByAnotherProgramSaysSoAndShowsItselfWhenTheLockGoes) {
    SeedNotes({{1, 0, L"A", L"alpha"}, {2, 0, L"B", L"beta"}});
    ShortBusyWait shortWait;
    Start();
    ASSERT_EQ(EditorText(), L"alpha");
    CppSQLite3DB other(2000);
    other.Open(DbPath());
    // Another program holds the whole file while B is selected.
    other.ExecuteStatement(L"BEGIN EXCLUSIVE;");
    Select(L"B");
    // No box: the editor says it, takes no typing, and A's text is not under B.
    EXPECT_TRUE(modal.Boxes().empty());
    EXPECT_NE(EditorText().find(L"can't be read yet"), std::wstring::npos);
    EXPECT_TRUE(EditorIsReadOnly(*dlg));
    dlg->Parts().tray.Hide();
    other.ExecuteStatement(L"COMMIT;");
    EXPECT_EQ(StoredText(2), L"beta");

    // B shows by itself once the lock is gone, editable, and its edits are kept.
    EXPECT_TRUE(PumpUntil([&] { return EditorText() == L"beta" && !EditorIsReadOnly(*dlg); }, 10000));
    Type(L"more ");
    Finish();
    EXPECT_EQ(StoredText(2), L"more beta");
    EXPECT_EQ(StoredText(1), L"alpha");
    EXPECT_TRUE(modal.Boxes().empty());
}

TEST_F(StoreFailures, AnEmptyDatabasePathMeansTheDefaultAndATemporaryOneIsRefused) {
    Configure(L"Main", L"DBPath", L"");
    Start();
    EXPECT_EQ(dlg->Parts().notes.DatabasePath(), DbPath());
    EXPECT_TRUE(modal.Boxes().empty());
    Type(L"kept ");
    Finish();
    EXPECT_EQ(StoredText(1), L"kept  This is a place for your quick notes...");

    // An in-memory database would lose everything at exit: it is refused as a
    // database that cannot be opened, and nothing is editable.
    theDB.Close();
    Configure(L"Main", L"DBPath", L":memory:");
    Start();
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_TRUE(StartsWith(modal.Boxes()[0].text, kOpenPrefix + L"SQLITE_CANTOPEN[14]: "));
    EXPECT_EQ(dlg->Parts().tree.GetCount(), 0u);
    EXPECT_TRUE(EditorIsReadOnly(*dlg));
}

TEST_F(StoreFailures, WithoutAnyNoteToShowTheEditorIsEmptyAndReadOnlyInItsColours) {
    // Rows the tree can't show: an orphan only (in a file another program holds,
    // so the default note can't be added), and a top-level row whose id is 0.
    Configure(L"Tallyleaf", L"bkColor", L"255");  // red
    SeedNotes({{0, 0, L"Zero", L"zero text"}});
    Start();
    EXPECT_EQ(dlg->Parts().tree.GetCount(), 1u);
    EXPECT_EQ(EditorText(), L"");
    EXPECT_TRUE(EditorIsReadOnly(*dlg));

    // The read-only editor is painted in the configured colours too.
    dlg->Parts().tray.CallUp();
    ::RedrawWindow(dlg->Parts().editor, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT client{};
    ::GetClientRect(dlg->Parts().editor, &client);
    HDC dc = ::GetDC(dlg->Parts().editor);
    const COLORREF painted = ::GetPixel(dc, client.right / 2, client.bottom / 2);
    ::ReleaseDC(dlg->Parts().editor, dc);
    EXPECT_EQ(painted, RGB(255, 0, 0));
    dlg->Parts().tray.Hide();
    Finish();
    EXPECT_EQ(StoredText(0), L"zero text");
    EXPECT_TRUE(modal.Boxes().empty());
}

TEST_F(StoreFailures, AReadOnlyFileWithOnlyOrphansShowsNothingEditable) {
    SeedNotes({{5, 9, L"Orphan", L"lost parent"}});
    HANDLE holder = ::CreateFileW(DbPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Start();
    // The default note could not be added, which is said.
    ASSERT_FALSE(modal.Boxes().empty());
    EXPECT_EQ(dlg->Parts().tree.GetCount(), 0u);
    EXPECT_EQ(EditorText(), L"");
    EXPECT_TRUE(EditorIsReadOnly(*dlg));
    Finish();
    theDB.Close();
    ::CloseHandle(holder);
    EXPECT_EQ(StoredCount(), 1);
}

TEST_F(StoreFailures, SavesThatFailWhileAnotherProgramWritesAreToldOnceAndWrittenWhenItStops) {
    SeedNotes({{1, 0, L"A", L"alpha"}, {2, 0, L"B", L"beta"}});
    Start();
    dlg->Parts().tray.CallUp();
    CppSQLite3DB other(2000);
    other.Open(DbPath());
    // Another program writes, and holds its lock far longer than the program waits.
    other.ExecuteStatement(L"BEGIN IMMEDIATE;");
    other.ExecuteStatement(L"UPDATE notes SET name='A' WHERE id=1;");
    Type(L"left ");
    Select(L"B");
    EXPECT_EQ(EditorText(), L"beta");
    // The window goes on answering while the save of A is tried again and again.
    Stopwatch sinceLast;
    double longestGapMs = 0;
    PumpUntil(
        [&] {
            longestGapMs = std::max(longestGapMs, sinceLast.ElapsedMs());
            sinceLast.Restart();
            return false;
        },
        6000);
    EXPECT_LT(longestGapMs, 2600);
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_TRUE(StartsWith(modal.Boxes()[0].text, L"Tallyleaf error 2: Can't save note.\n - SQLITE_BUSY[5]: "));
    EXPECT_EQ(modal.Boxes()[0].icon, ModalAnswer::StockIcon(IDI_ERROR));
    // A hide meets the same lock: its note waits too, and nothing more is said.
    Type(L"hidden ");
    dlg->Parts().tray.Hide();
    EXPECT_EQ(modal.Boxes().size(), 1u);

    other.ExecuteStatement(L"COMMIT;");
    EXPECT_TRUE(PumpUntil([&] { return StoredText(1) == L"left alpha" && StoredText(2) == L"hidden beta"; }, 15000));
    EXPECT_FALSE(dlg->Parts().notes.WaitingSaves().IsWaiting());
    EXPECT_EQ(modal.Boxes().size(), 1u);
}
