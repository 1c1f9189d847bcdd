// The notes store as the user meets it in the main window: the tree filled
// from the database, the note shown with its position, and what is written
// when. The store's statements alone are tested in tests/storage/NotesStoreTest.cpp.
#include "storage/CppSQLite3DB.h"
#include "storage/DatabaseBackup.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"
#include "support/Stopwatch.h"

class NotesStoreWindow : public MainWindowTest {
protected:
    // Three top-level notes A, B, C (ids 1, 2, 3) with texts "alpha", "beta", "gamma".
    void StartWithThreeNotes() {
        SeedNotes({{1, 0, L"A", L"alpha"}, {2, 0, L"B", L"beta"}, {3, 0, L"C", L"gamma"}});
        Start();
    }
};

TEST_F(NotesStoreWindow, NewDatabaseGetsTheDefaultNoteSelectedAndShown) {
    Start();
    ASSERT_TRUE(FileExists(DbPath()));
    EXPECT_EQ(StoredCount(), 1);
    EXPECT_EQ(StoredCount(L"id=1 AND pid=0 AND name='Note'"), 1);
    EXPECT_EQ(StoredText(1), L" This is a place for your quick notes...");
    EXPECT_EQ(dlg->Parts().tree.GetCount(), 1u);
    HTREEITEM selected = dlg->Parts().tree.GetSelectedItem();
    ASSERT_NE(selected, nullptr);
    EXPECT_EQ(dlg->Parts().tree.GetItemText(selected), L"Note");
    EXPECT_EQ(EditorText(), L" This is a place for your quick notes...");
    EXPECT_TRUE(modal.Boxes().empty());
}

TEST_F(NotesStoreWindow, TableWithoutTopLevelRowsGetsTheDefaultNoteAndOrphansStayHidden) {
    SeedNotes({{5, 9, L"Orphan", L"lost parent"}, {6, 5, L"Grandchild", L"deeper"}, {7, 7, L"Own parent", L"loop"}});
    Start();
    EXPECT_EQ(StoredCount(), 4);
    EXPECT_EQ(StoredCount(L"name='Orphan' OR name='Grandchild'"), 2);
    EXPECT_EQ(dlg->Parts().tree.GetCount(), 1u);
    EXPECT_EQ(dlg->Parts().tree.GetItemText(dlg->Parts().tree.GetRootItem()), L"Note");
    EXPECT_EQ(FindItem(L"Orphan"), nullptr);
}

TEST_F(NotesStoreWindow, ANamelessNoteShowsAsNoteAndRowsWithoutAParentStayHidden) {
    SeedNotes({});
    Execute(L"INSERT INTO notes VALUES(1, 0, NULL, 'nameless', 0);");
    Execute(L"INSERT INTO notes VALUES(2, NULL, 'No parent', 'hidden', 0);");
    Execute(L"INSERT INTO notes VALUES(3, 2, 'Below it', 'hidden too', 0);");
    Start();
    EXPECT_EQ(dlg->Parts().tree.GetCount(), 1u);
    EXPECT_EQ(dlg->Parts().tree.GetItemText(dlg->Parts().tree.GetRootItem()), L"Note");
    EXPECT_EQ(EditorText(), L"nameless");
}

TEST_F(NotesStoreWindow, ChildrenAppearInAscendingIdOrderUnderTheirParent) {
    SeedNotes(
        {{1, 0, L"Root", L""}, {4, 1, L"Fourth", L""}, {2, 1, L"Second", L""}, {3, 2, L"Third under second", L""}});
    Start();
    HTREEITEM root = dlg->Parts().tree.GetRootItem();
    HTREEITEM first = dlg->Parts().tree.GetChildItem(root);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(dlg->Parts().tree.GetItemText(first), L"Second");
    EXPECT_EQ(dlg->Parts().tree.GetItemText(dlg->Parts().tree.GetNextSiblingItem(first)), L"Fourth");
    EXPECT_EQ(dlg->Parts().tree.GetItemText(dlg->Parts().tree.GetChildItem(first)), L"Third under second");
    EXPECT_EQ(dlg->Parts().tree.NoteId(first), 2);
}

TEST_F(NotesStoreWindow, PositionPacksFirstVisibleLineAndCaret) {
    std::wstring lines;
    for (int i = 0; i < 200; ++i)
        lines += L"line " + std::to_wstring(i) + L"\r\n";
    SeedNotes({{1, 0, L"Long", lines}});
    Start();
    dlg->Parts().editor.SendMessage(EM_SETSEL, 10, 10);
    dlg->Parts().editor.LineScroll(3);
    ASSERT_EQ(dlg->Parts().editor.GetFirstVisibleLine(), 3);
    dlg->Parts().tray.Hide();
    EXPECT_EQ(StoredPos(1), 3 * 65536 + 10);  // 196618

    // Shown again from the store: caret and scroll come back.
    Finish();
    theDB.Close();
    Start();
    EXPECT_EQ(Selection(), std::make_pair(10, 10));
    EXPECT_EQ(dlg->Parts().editor.GetFirstVisibleLine(), 3);
}

TEST_F(NotesStoreWindow, CaretBeyond65535IsStoredAs65535AndReopensThere) {
    std::wstring text;
    while (text.size() < 70000)
        text += std::wstring(98, L'x') + L"\r\n";
    SeedNotes({{1, 0, L"Huge", text}});
    Start();
    dlg->Parts().editor.SendMessage(EM_SETSEL, 69000, 69000);
    dlg->Parts().tray.Hide();
    EXPECT_EQ(StoredPos(1) & 0xFFFF, 65535);

    Finish();
    theDB.Close();
    Start();
    EXPECT_EQ(Selection(), std::make_pair(65535, 65535));
}

// A note of one 300,000-character line (a pasted log) is shown whole, at its
// position, and written back byte for byte, with word wrap on and off. Wine's
// edit control took minutes to wrap such a line; the bound catches that.
class LongLineNote : public NotesStoreWindow, public ::testing::WithParamInterface<const wchar_t*> {};

TEST_P(LongLineNote, ShowsWholeQuicklyAndIsSavedUnchanged) {
    std::wstring line;
    for (int i = 0; line.size() < 300000; ++i)
        line += L"entry " + std::to_wstring(i) + L" state=ok; ";
    line.resize(300000);
    SeedNotes({{1, 0, L"Log", line, 12345}, {2, 0, L"Short", L"one\r\ntwo"}});
    Configure(L"Main", L"WordWrap", GetParam());

    Stopwatch shown;
    Start();
    dlg->Parts().tray.CallUp();
    PumpPending();
    Select(L"Short");
    EXPECT_EQ(EditorText(), L"one\r\ntwo");
    Select(L"Log");
    PumpPending();
    EXPECT_LT(shown.ElapsedMs(), 20000);

    EXPECT_TRUE(EditorText() == line);
    EXPECT_EQ(Selection(), std::make_pair(12345, 12345));
    dlg->Parts().tray.Hide();
    EXPECT_TRUE(StoredText(1) == line);
    EXPECT_EQ(StoredPos(1) & 0xFFFF, 12345);
}

INSTANTIATE_TEST_SUITE_P(WordWrap, LongLineNote, ::testing::Values(L"1", L"0"));

TEST_F(NotesStoreWindow, MovingWithoutTypingWritesNothing) {
    StartWithThreeNotes();
    dlg->Parts().editor.SendMessage(EM_SETSEL, 3, 3);  // caret moves do not modify
    Select(L"B");
    EXPECT_EQ(EditorText(), L"beta");
    PumpPastDeferredSave();
    EXPECT_EQ(StoredPos(1), 0);
    EXPECT_EQ(StoredText(1), L"alpha");
}

TEST_F(NotesStoreWindow, LeavingAModifiedNoteWritesItAbout200msLater) {
    StartWithThreeNotes();
    dlg->Parts().editor.SendMessage(EM_SETSEL, 5, 5);
    Type(L"!");
    Select(L"B");
    // The new note is shown first; the old one is not written yet.
    EXPECT_EQ(EditorText(), L"beta");
    EXPECT_EQ(StoredText(1), L"alpha");
    const DWORD left = ::GetTickCount();
    ASSERT_TRUE(PumpUntil([&] { return StoredText(1) == L"alpha!"; }, 5000));
    EXPECT_GE(::GetTickCount() - left, 150u);
    // The position recorded is the one at the moment of leaving.
    EXPECT_EQ(StoredPos(1), 6);
    EXPECT_FALSE(dlg->Parts().editor.GetModify());
}

TEST_F(NotesStoreWindow, LeavingTwoModifiedNotesQuicklyWritesTheFirstAtOnce) {
    StartWithThreeNotes();
    Type(L"A1 ");
    Select(L"B");
    Type(L"B1 ");
    Select(L"C");
    // A was flushed when B was left; B waits for its timer.
    EXPECT_EQ(StoredText(1), L"A1 alpha");
    EXPECT_EQ(StoredText(2), L"beta");
    ASSERT_TRUE(PumpUntil([&] { return StoredText(2) == L"B1 beta"; }));
}

TEST_F(NotesStoreWindow, AnEmptiedNoteIsWrittenEvenWhenAnotherSaveFollows) {
    StartWithThreeNotes();
    dlg->Parts().editor.SetSel(0, -1);
    dlg->Parts().editor.Clear();
    ASSERT_EQ(EditorText(), L"");
    Select(L"B");
    Type(L"more ");
    Select(L"C");
    EXPECT_EQ(StoredText(1), L"");
    ASSERT_TRUE(PumpUntil([&] { return StoredText(2) == L"more beta"; }));
    EXPECT_EQ(StoredText(1), L"");
}

TEST_F(NotesStoreWindow, ComingBackBeforeTheSaveShowsTheLatestText) {
    StartWithThreeNotes();
    Type(L"new ");
    Select(L"B");
    Select(L"A");
    EXPECT_EQ(EditorText(), L"new alpha");
    EXPECT_EQ(StoredText(1), L"new alpha");
    // Nothing older overwrites it once the timer would have fired.
    PumpPastDeferredSave();
    EXPECT_EQ(StoredText(1), L"new alpha");
}

TEST_F(NotesStoreWindow, EndingRightAfterLeavingANoteStillWritesIt) {
    StartWithThreeNotes();
    Type(L"last words ");
    Select(L"B");
    Finish();
    EXPECT_EQ(StoredText(1), L"last words alpha");
}

TEST_F(NotesStoreWindow, ASaveWaitingAtTheLogOffOrAtAnotherOpeningGoesIntoItsOwnFile) {
    StartWithThreeNotes();
    Type(L"log-off ");
    Select(L"B");
    dlg->SendMessage(WM_QUERYENDSESSION, 0, 0);
    EXPECT_EQ(StoredText(1), L"log-off alpha");

    // Opening another file while a save waits: it is written into the file it
    // belongs to, never into the other file's note of the same id.
    Type(L"first file ");
    Select(L"C");
    const std::wstring other = dir.File(L"other.db");
    dlg->Parts().notes.SwitchTo(other);
    EXPECT_EQ(StoredText(2), L"first file beta");
    PumpPastDeferredSave();
    CppSQLite3DB db(2000);
    db.Open(other);
    EXPECT_EQ(db.ExecuteScalar(L"SELECT count(*) FROM notes WHERE note LIKE 'first file%'"), 0);
    EXPECT_EQ(EditorText(), L" This is a place for your quick notes...");
}

TEST_F(NotesStoreWindow, HidingWritesTheNoteEvenWithoutTyping) {
    StartWithThreeNotes();
    dlg->Parts().editor.SendMessage(EM_SETSEL, 4, 4);
    dlg->Parts().tray.Hide();
    EXPECT_EQ(StoredPos(1), 4);
    EXPECT_FALSE(dlg->IsWindowVisible());
}

TEST_F(NotesStoreWindow, QuotesInNamesAndTextsSurvive) {
    SeedNotes({{1, 0, L"O'Brien's list", L"it's"}});
    Start();
    EXPECT_EQ(dlg->Parts().tree.GetItemText(dlg->Parts().tree.GetRootItem()), L"O'Brien's list");
    EXPECT_EQ(EditorText(), L"it's");
    dlg->Parts().editor.SetSel(0, -1);
    Type(L"'quoted' and ''doubled''");
    dlg->Parts().tray.Hide();
    EXPECT_EQ(StoredText(1), L"'quoted' and ''doubled''");
}

TEST_F(NotesStoreWindow, AFailedCreationRollsItsTransactionBack) {
    // A view named notes lets the creation begin and then fail inside its transaction.
    Execute(L"CREATE VIEW notes AS SELECT 1 AS id, 7 AS pid, 'v' AS name, '' AS note, 0 AS pos;");
    Start();
    ASSERT_FALSE(modal.Boxes().empty());
    EXPECT_EQ(modal.Boxes()[0].text.rfind(L"Tallyleaf: Can't create the main table.\n Error #1 - ", 0), 0u);
    // No transaction was left open: another connection can still write.
    CppSQLite3DB other(500);
    other.Open(DbPath());
    EXPECT_NO_THROW(other.ExecuteStatement(L"CREATE TABLE probe (x INTEGER);"));
}

TEST_F(NotesStoreWindow, TypingIsStoredAfterAPauseAndWhileItGoesOn) {
    // Shorter than the program's 2 and 30 seconds, so the test does not wait that long.
    typingSaves = {300, 1500};
    StartWithThreeNotes();
    dlg->Parts().tray.CallUp();
    Type(L"paused ");
    // No hide, no other note: the pause alone writes it.
    EXPECT_TRUE(PumpUntil([&] { return StoredText(1) == L"paused alpha"; }));
    // Leaving the note afterwards has nothing more to write.
    Select(L"B");
    EXPECT_FALSE(dlg->Parts().notes.WaitingSaves().IsWaiting());

    // Typing without a pause is written while it goes on.
    Stopwatch typing;
    bool storedWhileTyping = false;
    while (!storedWhileTyping && typing.ElapsedMs() < 5000) {
        Type(L"x");
        PumpUntil([] { return false; }, 100);  // the next key comes before a pause ends
        storedWhileTyping = StoredText(2) != L"beta";
    }
    EXPECT_TRUE(storedWhileTyping);
    EXPECT_GT(typing.ElapsedMs(), 1000);
}

TEST_F(NotesStoreWindow, TheShownWindowFollowsAnotherCopyOnTheSameFileWithinSeconds) {
    StartWithThreeNotes();
    dlg->Parts().tray.CallUp();
    Select(L"B");
    Type(L"typed ");
    Execute(L"INSERT INTO notes VALUES(4, 2, 'From the laptop', 'hello', 0);");
    Execute(L"UPDATE notes SET name='Alpha' WHERE id=1;");
    EXPECT_TRUE(PumpUntil([&] { return FindItem(L"From the laptop") && FindItem(L"Alpha"); }, 15000));
    EXPECT_EQ(SelectedLabel(), L"B");
    EXPECT_EQ(EditorText(), L"typed beta");
    EXPECT_EQ(dlg->Parts().tree.GetCount(), 4u);
    EXPECT_TRUE(modal.Boxes().empty());
}

TEST_F(NotesStoreWindow, TheFirstStartOfADayMakesOneVerifiedBackupAndLaterStartsNone) {
    StartWithThreeNotes();
    const std::wstring copy = dir.File(L"Backups\\notes2 " + DateText(DatabaseBackup::Today()) + L".db");
    ASSERT_TRUE(PumpUntil([&] { return FileExists(copy); }, 10000));
    auto notesIn = [](const std::wstring& path) {
        CppSQLite3DB db(2000);
        db.Open(path);
        return db.ExecuteScalar(L"SELECT count(*) FROM notes WHERE note IN ('alpha','beta','gamma');");
    };
    EXPECT_EQ(notesIn(copy), 3);
    Finish();

    // The same day again: the copy made first stays as it was.
    SeedNotes({{4, 0, L"D", L"delta"}});
    Start();
    dlg->Parts().tray.CallUp();
    dlg->Parts().tray.Hide();
    // The end waits for a backup still running: by then any copy is made.
    Finish();
    EXPECT_EQ(notesIn(copy), 3);
    EXPECT_EQ(NamesIn(dir.File(L"Backups")),
              std::vector<std::wstring>{L"notes2 " + DateText(DatabaseBackup::Today()) + L".db"});
    EXPECT_TRUE(modal.Boxes().empty());
}
