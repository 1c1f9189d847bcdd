// Adding, renaming, deleting and undeleting notes through the real name window
// and the real question box, checked in the tree and in the database.
#include <string>
#include <utility>
#include <vector>

#include "menus/NewMenu.h"
#include "res/resource.h"
#include "storage/CppSQLite3DB.h"
#include "support/KeyPresses.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"

class NoteOperations : public MainWindowTest {
protected:
    // Top-level Home (1) with child Deep (2) and grandchild Deeper (3); top-level Work (4).
    void StartWithTree() {
        SeedNotes({{1, 0, L"Home", L"home text"},
                   {2, 1, L"Deep", L"deep text"},
                   {3, 2, L"Deeper", L"deeper text"},
                   {4, 0, L"Work", L"work text"}});
        Start();
    }
    int StoredInt(const std::wstring& sql) {
        CppSQLite3DB db(2000);
        db.Open(DbPath());
        return db.ExecuteScalar(sql);
    }

    TextEntryAnswer& names = modal.Names();
};

TEST_F(NoteOperations, AddNewNoteGoesToTheTopLevelWhateverIsSelected) {
    StartWithTree();
    dlg->Parts().tree.Expand(FindItem(L"Home"), TVE_EXPAND);
    dlg->Parts().tree.Expand(FindItem(L"Deep"), TVE_EXPAND);
    Select(L"Deeper");
    names.Type(L"Groceries");
    Command(ID_NOTES_ADD);

    ASSERT_EQ(names.Windows().size(), 1u);
    EXPECT_EQ(names.Windows()[0].caption, L"Add New Note");
    EXPECT_EQ(names.Windows()[0].prompt, L"Enter Name:");
    EXPECT_EQ(names.Windows()[0].text, L"New Note");
    EXPECT_EQ(StoredCount(L"id=5 AND pid=0 AND name='Groceries' AND note='' AND pos=0"), 1);
    HTREEITEM last = dlg->Parts().tree.GetNextSiblingItem(FindItem(L"Work"));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(dlg->Parts().tree.GetItemText(last), L"Groceries");
    EXPECT_EQ(dlg->Parts().tree.GetSelectedItem(), last);
    EXPECT_EQ(EditorText(), L"");
    EXPECT_EQ(::GetFocus(), dlg->Parts().editor.m_hWnd);
}

TEST_F(NoteOperations, AddAsSubnoteAppendsUnderTheSelectedNoteAndShowsIt) {
    StartWithTree();
    Select(L"Home");
    names.Accept();  // the suggested name
    Command(ID_NOTES_ADD_SUBNOTE);

    EXPECT_EQ(StoredCount(L"pid=1 AND name='New Note'"), 1);
    HTREEITEM home = FindItem(L"Home");
    HTREEITEM child = dlg->Parts().tree.GetChildItem(home);
    ASSERT_NE(child, nullptr);
    HTREEITEM second = dlg->Parts().tree.GetNextSiblingItem(child);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(dlg->Parts().tree.GetItemText(second), L"New Note");
    EXPECT_EQ(SelectedLabel(), L"New Note");
    EXPECT_TRUE(dlg->Parts().tree.SendMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(home), TVIS_EXPANDED) &
                TVIS_EXPANDED);

    // A note goes under the parent it is given, wherever the selection is.
    Select(L"Work");
    EXPECT_TRUE(dlg->Parts().notes.AddNote(3, L"Deepest"));
    EXPECT_EQ(StoredCount(L"pid=3 AND name='Deepest'"), 1);
    HTREEITEM deepest = dlg->Parts().tree.GetChildItem(FindItem(L"Deeper"));
    ASSERT_NE(deepest, nullptr);
    EXPECT_EQ(dlg->Parts().tree.GetItemText(deepest), L"Deepest");
    EXPECT_EQ(dlg->Parts().tree.GetChildItem(FindItem(L"Work")), nullptr);
    // A parent the tree does not show takes nothing.
    EXPECT_FALSE(dlg->Parts().notes.AddNote(99, L"Nowhere"));
    EXPECT_EQ(StoredCount(L"name='Nowhere'"), 0);
}

TEST_F(NoteOperations, LeavingAnEditedNoteForANewOneSavesIt) {
    StartWithTree();
    Type(L"before adding ");
    names.Type(L"Next");
    Command(ID_NOTES_ADD);
    ASSERT_TRUE(PumpUntil([&] { return StoredText(1) == L"before adding home text"; }));
}

TEST_F(NoteOperations, CancellingTheNameAddsNothing) {
    StartWithTree();
    names.Cancel();
    Command(ID_NOTES_ADD);
    names.Cancel();
    Command(ID_NOTES_ADD_SUBNOTE);
    EXPECT_EQ(names.Windows().size(), 2u);
    EXPECT_EQ(StoredCount(), 4);
    EXPECT_EQ(dlg->Parts().tree.GetCount(), 4u);
    EXPECT_EQ(SelectedLabel(), L"Home");
}

TEST_F(NoteOperations, NamesWithQuotesAreStoredAndShownIntact) {
    StartWithTree();
    names.Type(L"O'Brien");
    Command(ID_NOTES_ADD);
    EXPECT_EQ(SelectedLabel(), L"O'Brien");
    EXPECT_EQ(StoredCount(L"name='O''Brien'"), 1);

    names.Type(L"Mrs O'Hara's");
    Command(ID_NOTES_RENAME);
    EXPECT_EQ(SelectedLabel(), L"Mrs O'Hara's");
    EXPECT_EQ(StoredCount(L"name='Mrs O''Hara''s'"), 1);
    EXPECT_TRUE(modal.Boxes().empty());
}

TEST_F(NoteOperations, RenameChangesRowAndLabelAndCancelChangesNeither) {
    StartWithTree();
    Select(L"Work");
    names.Type(L"Office");
    Command(ID_NOTES_RENAME);
    ASSERT_EQ(names.Windows().size(), 1u);
    EXPECT_EQ(names.Windows()[0].caption, L"Rename Note");
    EXPECT_EQ(names.Windows()[0].prompt, L"Enter new name:");
    EXPECT_EQ(names.Windows()[0].text, L"Work");
    EXPECT_EQ(SelectedLabel(), L"Office");
    EXPECT_EQ(StoredCount(L"id=4 AND name='Office'"), 1);

    names.Cancel();
    Command(ID_NOTES_RENAME);
    EXPECT_EQ(SelectedLabel(), L"Office");
    EXPECT_EQ(StoredCount(L"id=4 AND name='Office'"), 1);
}

TEST_F(NoteOperations, DeleteAsksAndNoKeepsEverything) {
    StartWithTree();
    Select(L"Work");
    modal.Answer(IDNO);
    Command(ID_NOTES_DELETE);
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_EQ(modal.Boxes()[0].text, L"Do you want to delete:Work and all its subnotes?");
    EXPECT_EQ(modal.Boxes()[0].icon, ModalAnswer::StockIcon(IDI_EXCLAMATION));
    EXPECT_EQ(modal.Boxes()[0].buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(StoredCount(), 4);
    EXPECT_NE(FindItem(L"Work"), nullptr);
}

TEST_F(NoteOperations, DeleteRemovesTheSubtreeDeepestFirstAndTheNoteLast) {
    SeedNotes({{1, 0, L"Note"},
               {2, 1, L"First child"},
               {3, 1, L"Second child"},
               {4, 2, L"Grandchild"},
               {5, 0, L"Other", L"other text"}});
    // Record the order in which rows leave the table.
    Execute(L"CREATE TABLE deleted (id INTEGER);");
    Execute(L"CREATE TRIGGER log AFTER DELETE ON notes BEGIN INSERT INTO deleted VALUES(old.id); END;");
    Start();
    Select(L"Note");
    modal.Answer(IDYES);
    Command(ID_NOTES_DELETE);

    CppSQLite3DB db(2000);
    db.Open(DbPath());
    std::vector<int> order;
    for (CppSQLite3Query q = db.ExecuteQuery(L"SELECT id FROM deleted ORDER BY rowid"); !q.AtEnd(); q.Advance())
        order.push_back(q.IntByName(L"id", 0));
    EXPECT_EQ(order, (std::vector<int>{4, 2, 3, 1}));
    EXPECT_EQ(dlg->Parts().tree.GetCount(), 1u);
    EXPECT_EQ(SelectedLabel(), L"Other");
    EXPECT_EQ(EditorText(), L"other text");
    EXPECT_TRUE(dlg->Parts().notes.NoteDeleted());
}

TEST_F(NoteOperations, DeletingTheLastNoteLeavesOneNewNote) {
    SeedNotes({{1, 0, L"Only", L"only text"}});
    Start();
    modal.Answer(IDYES);
    Command(ID_NOTES_DELETE);
    EXPECT_EQ(StoredCount(), 1);
    EXPECT_EQ(StoredCount(L"pid=0 AND name='New Note' AND note=''"), 1);
    EXPECT_EQ(dlg->Parts().tree.GetCount(), 1u);
    EXPECT_EQ(SelectedLabel(), L"New Note");
    EXPECT_EQ(EditorText(), L"");
    EXPECT_EQ(::GetFocus(), dlg->Parts().editor.m_hWnd);
}

TEST_F(NoteOperations, ASubtreeIsDeletedWholeOrNotAtAll) {
    StartWithTree();
    // Another program's rule refuses to delete Deep, after Deeper below it went.
    Execute(L"CREATE TRIGGER keep BEFORE DELETE ON notes WHEN old.id=2 BEGIN SELECT RAISE(ABORT, 'kept'); END;");
    Select(L"Home");
    modal.Answer(IDYES);
    Command(ID_NOTES_DELETE);
    ASSERT_EQ(modal.Boxes().size(), 2u);
    EXPECT_EQ(modal.Boxes()[1].text, L"Tallyleaf error: Can't delete subnote.\n - SQLITE_ERROR[1]: kept");
    EXPECT_EQ(modal.Boxes()[1].icon, ModalAnswer::StockIcon(IDI_ERROR));
    // Every note stays, in the table and in the tree.
    EXPECT_EQ(StoredCount(), 4);
    EXPECT_EQ(StoredText(3), L"deeper text");
    EXPECT_EQ(dlg->Parts().tree.GetCount(), 4u);
    EXPECT_NE(FindItem(L"Deeper"), nullptr);
}

TEST_F(NoteOperations, AFailedDeleteKeepsTheEditsOfTheShownNote) {
    StartWithTree();
    Execute(L"CREATE TRIGGER keep BEFORE DELETE ON notes WHEN old.id=4 BEGIN SELECT RAISE(ABORT, 'kept'); END;");
    Select(L"Work");
    Type(L"edited ");
    modal.Answer(IDYES);
    Command(ID_NOTES_DELETE);
    ASSERT_EQ(modal.Boxes().size(), 2u);
    EXPECT_EQ(modal.Boxes()[1].text.rfind(L"Tallyleaf error: Can't delete subnote.\n - ", 0), 0u);
    EXPECT_EQ(EditorText(), L"edited work text");
    // Moving on stores the edits as for any modified note.
    Select(L"Home");
    ASSERT_TRUE(PumpUntil([&] { return StoredText(4) == L"edited work text"; }));
}

TEST_F(NoteOperations, AFailedAddOrRenameLeavesTreeAndTableAsTheyWere) {
    StartWithTree();
    Execute(L"CREATE TRIGGER no_add BEFORE INSERT ON notes BEGIN SELECT RAISE(ABORT, 'no room'); END;");
    Execute(L"CREATE TRIGGER no_rename BEFORE UPDATE OF name ON notes BEGIN SELECT RAISE(ABORT, 'fixed'); END;");
    Select(L"Work");
    names.Type(L"Extra");
    Command(ID_NOTES_ADD);
    names.Type(L"Renamed");
    Command(ID_NOTES_RENAME);

    ASSERT_EQ(modal.Boxes().size(), 2u);
    EXPECT_EQ(modal.Boxes()[0].text, L"Tallyleaf error: Can't add new note.\n - SQLITE_ERROR[1]: no room");
    EXPECT_EQ(modal.Boxes()[1].text, L"Tallyleaf error: Can't rename note.\n - SQLITE_ERROR[1]: fixed");
    EXPECT_EQ(StoredCount(), 4);
    EXPECT_EQ(StoredCount(L"name='Work'"), 1);
    EXPECT_EQ(dlg->Parts().tree.GetCount(), 4u);
    EXPECT_EQ(SelectedLabel(), L"Work");
    EXPECT_EQ(EditorText(), L"work text");
}

TEST_F(NoteOperations, TheEndCompactsTheFileOnlyAfterADelete) {
    SeedNotes({{1, 0, L"Keep", L"kept"}, {2, 0, L"Other", L"other"}, {3, 0, L"Big", std::wstring(200000, L'x')}});
    // Space freed by another program stays in the file until something compacts it.
    Execute(L"DELETE FROM notes WHERE id=3;");
    const size_t withFreeSpace = ReadFileBytes(DbPath()).size();
    ASSERT_GT(withFreeSpace, 300000u);

    Start();
    Finish();
    EXPECT_EQ(ReadFileBytes(DbPath()).size(), withFreeSpace) << "compacted without a delete";

    theDB.Close();
    Start();
    Select(L"Other");
    modal.Answer(IDYES);
    Command(ID_NOTES_DELETE);
    Finish();
    EXPECT_LT(ReadFileBytes(DbPath()).size(), withFreeSpace / 4) << "not compacted after a delete";
    EXPECT_EQ(StoredCount(), 1);
}

TEST_F(NoteOperations, UndoDeleteNamesTheNoteAndCtrlShiftZBringsItBackToItsPlaceFromTheEditor) {
    SeedNotes({{1, 0, L"Home", L"home text"},
               {2, 0, L"Shopping & list", L"milk"},
               {3, 2, L"Monday", L"bread"},
               {4, 0, L"Work", L"work text"}});
    Start();
    dlg->Parts().tray.CallUp();
    // The Notes menu's Undo Delete as it opens: enabled, and its text.
    auto undoItem = [this] {
        HMENU notes = BarPopup(2);
        dlg->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(notes), MAKELPARAM(2, FALSE));
        const bool enabled = !(::GetMenuState(notes, ID_NOTES_UNDO_DELETE, MF_BYCOMMAND) & MF_GRAYED);
        CNewMenu* menu = CNewMenu::FromHandle(notes);
        for (int i = 0; menu && i < ::GetMenuItemCount(notes); ++i)
            if (::GetMenuItemID(notes, i) == ID_NOTES_UNDO_DELETE)
                return std::make_pair(enabled, menu->ItemData(i)->m_szMenuText);
        return std::make_pair(enabled, std::wstring(L"<no item>"));
    };
    EXPECT_EQ(undoItem(), std::make_pair(false, std::wstring(L"&Undo Delete\tCtrl+Shift+Z")));

    Select(L"Shopping & list");
    modal.Answer(IDYES);
    Command(ID_NOTES_DELETE);
    EXPECT_EQ(undoItem(), std::make_pair(true, std::wstring(L"&Undo Delete 'Shopping && list'\tCtrl+Shift+Z")));

    // Ctrl+Z in the editor stays the editor's undo.
    Select(L"Work");
    dlg->Parts().editor.SetFocus();
    Type(L"x");
    PressWithControl(::GetFocus(), 'Z');
    EXPECT_EQ(EditorText(), L"work text");
    EXPECT_EQ(dlg->Parts().tree.GetCount(), 2u);

    {
        HeldKeys held{VK_CONTROL, VK_SHIFT};
        Press(::GetFocus(), 'Z');
    }
    EXPECT_EQ(SelectedLabel(), L"Shopping & list");
    EXPECT_EQ(EditorText(), L"milk");
    std::vector<std::wstring> top;
    for (HTREEITEM item = dlg->Parts().tree.GetRootItem(); item; item = dlg->Parts().tree.GetNextSiblingItem(item))
        top.push_back(dlg->Parts().tree.GetItemText(item));
    EXPECT_EQ(top, (std::vector<std::wstring>{L"Home", L"Shopping & list", L"Work"}));
    EXPECT_EQ(dlg->Parts().tree.GetItemText(dlg->Parts().tree.GetChildItem(FindItem(L"Shopping & list"))), L"Monday");
    EXPECT_EQ(StoredText(3), L"bread");
    EXPECT_FALSE(undoItem().first);
}
