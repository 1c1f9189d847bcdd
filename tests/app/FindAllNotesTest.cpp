// Find in All Notes as the user meets it: opened with Ctrl+Shift+F, a query
// typed into its box, the results walked with Down and Up and opened with
// Enter, on notes seeded into the database file.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "res/resource.h"
#include "storage/CppSQLite3DB.h"
#include "support/KeyPresses.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"

class FindAllNotes : public MainWindowTest {
protected:
    HWND Dialog() { return dlg->Parts().find.FindAllDialog().m_hWnd; }
    HWND Box() { return ::GetDlgItem(Dialog(), IDC_FIND_ALL_QUERY); }

    // Ctrl+Shift+F where the focus is.
    void PressFindAll() {
        HeldKeys held{VK_CONTROL, VK_SHIFT};
        Press(::GetFocus(), 'F');
    }
    // Puts `query` into the box and waits for the search that follows the pause.
    void Search(const std::wstring& query) {
        ::SetWindowTextW(Box(), query.c_str());
        ASSERT_TRUE(PumpUntil([&] { return dlg->Parts().find.FindAllDialog().ListedQuery() == query; }, 5000));
    }
    // Each listed match as (note id, whether in the name, start).
    std::vector<std::pair<int, std::size_t>> Listed() {
        std::vector<std::pair<int, std::size_t>> listed;
        for (const NoteSearch::Hit& hit : dlg->Parts().find.FindAllDialog().Results().hits)
            listed.emplace_back(hit.inName ? -hit.noteId : hit.noteId, hit.start);
        return listed;
    }
    std::wstring ListText(int row, int column) {
        wchar_t text[256] = {};
        ListView_GetItemText(::GetDlgItem(Dialog(), IDC_FIND_ALL_RESULTS), row, column, text, 256);
        return text;
    }
};

TEST_F(FindAllNotes, ListsNamesThenTextsInTreeOrderAndEnterShowsTheChosenMatch) {
    SeedNotes({{1, 0, L"Projects", L"plan one\r\nalpha"},
               {2, 1, L"Work", L"x\r\nthe plan is here"},
               {3, 0, L"Plans", L"none"}});
    Start();
    dlg->Parts().tray.CallUp();
    PressFindAll();
    ASSERT_TRUE(PumpUntil([&] { return dlg->Parts().find.FindAllDialog().IsOpen() && ::GetFocus() == Box(); }));

    Search(L"PLAN");
    // A name match first (shown as a negative id here), then the texts in tree order.
    EXPECT_EQ(Listed(), (std::vector<std::pair<int, std::size_t>>{{-3, 0}, {1, 0}, {2, 7}}));
    EXPECT_EQ(dlg->Parts().find.FindAllDialog().CountLine(), L"3 matches");
    EXPECT_EQ(ListText(2, 0), L"Projects > Work");
    EXPECT_EQ(ListText(2, 1), L"the plan is here");

    // Down three times from the box reaches the third match; Up goes back one, Down again.
    for (UINT key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_UP, VK_DOWN})
        Press(Box(), key);
    EXPECT_EQ(::GetFocus(), Box());
    Press(Box(), VK_RETURN);
    EXPECT_EQ(SelectedLabel(), L"Work");
    EXPECT_EQ(Selection(), std::make_pair(7, 11));
    EXPECT_TRUE(dlg->Parts().find.FindAllDialog().IsOpen());

    Press(Box(), VK_ESCAPE);
    EXPECT_FALSE(dlg->Parts().find.FindAllDialog().IsOpen());
}

TEST_F(FindAllNotes, FindsTheShownNotesTypingAndARenamedNoteAndKeysBringTheBoxBack) {
    SeedNotes({{1, 0, L"Alpha", L"first"}, {2, 0, L"Beta", L"second"}});
    Start();
    dlg->Parts().tray.CallUp();
    ::SetFocus(dlg->Parts().editor.m_hWnd);
    Type(L"unsaved words ");
    PressFindAll();
    ASSERT_TRUE(PumpUntil([&] { return dlg->Parts().find.FindAllDialog().IsOpen(); }));
    Search(L"unsaved");
    EXPECT_EQ(Listed(), (std::vector<std::pair<int, std::size_t>>{{1, 0}}));

    // Renamed while the dialog is open: found by its new name when the search runs again.
    ::SetFocus(dlg->Parts().tree.m_hWnd);
    Select(L"Beta");
    modal.Names().Type(L"Gamma");
    Command(ID_NOTES_RENAME);
    PumpPending();
    ASSERT_EQ(SelectedLabel(), L"Gamma");
    dlg->Parts().find.FindAllDialog().Open(dlg->m_hWnd);
    Search(L"gamma");
    EXPECT_EQ(Listed(), (std::vector<std::pair<int, std::size_t>>{{-2, 0}}));

    // Ctrl+Shift+F in the dialog: the box has the focus with its text selected, so typing replaces it.
    ::SetFocus(::GetDlgItem(Dialog(), IDC_FIND_ALL_MATCH_CASE));
    ::SendMessageW(Box(), EM_SETSEL, 0, 0);
    PressFindAll();
    EXPECT_EQ(::GetFocus(), Box());
    DWORD start = 0, end = 0;
    ::SendMessageW(Box(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 5u);
}

TEST_F(FindAllNotes, ADatabaseThatCannotBeReadSaysSoInTheDialog) {
    SeedNotes({{1, 0, L"Alpha", L"first"}});
    Start();
    dlg->Parts().tray.CallUp();
    CppSQLite3DB other(2000);
    other.Open(DbPath());
    other.ExecuteStatement(L"BEGIN EXCLUSIVE;");
    theDB.SetBusyTimeout(50);
    dlg->Parts().find.FindAllDialog().Open(dlg->m_hWnd);
    Search(L"first");
    theDB.SetBusyTimeout(kUserThreadBusyWaitMs);
    other.ExecuteStatement(L"COMMIT;");
    EXPECT_EQ(dlg->Parts().find.FindAllDialog().CountLine().rfind(L"The notes could not be read: ", 0), 0u);
    EXPECT_TRUE(dlg->Parts().find.FindAllDialog().Results().hits.empty());
    EXPECT_TRUE(modal.Boxes().empty());
}

TEST_F(FindAllNotes, TheStoredTextsAreReadAheadAndTheFirstSearchFindsWhatWasSavedSince) {
    SeedNotes({{1, 0, L"Alpha", L"first"}, {2, 0, L"Beta", L"second"}});
    Start();
    // A moment after the start, before any search, the texts are in memory.
    StoredTexts::FullRead read;
    ASSERT_TRUE(PumpUntil([&] { return !dlg->Parts().notesParts.search.StoredTextsToRead(read); }, 10000));

    // Typed and written after that read: the search finds the note as stored now.
    dlg->Parts().tray.CallUp();
    Select(L"Beta");
    ::SetFocus(dlg->Parts().editor.m_hWnd);
    Type(L"fresh ");
    Select(L"Alpha");
    ASSERT_TRUE(PumpUntil([&] { return !dlg->Parts().notes.WaitingSaves().IsWaiting(); }));
    dlg->Parts().find.FindAllDialog().Open(dlg->m_hWnd);
    Search(L"fresh");
    EXPECT_EQ(Listed(), (std::vector<std::pair<int, std::size_t>>{{2, 0}}));
}
