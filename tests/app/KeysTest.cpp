// The keys the main window takes before its controls, pressed as the user does:
// key messages posted to the tree or the editor and pumped through the same
// pre-translation as the program's own loop.
#include <string>
#include <vector>

#include "res/resource.h"
#include "support/KeyPresses.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"
#include "support/SentMessages.h"

class Keys : public MainWindowTest {
protected:
    // Top-level notes Home (1), Work (2) and Play (3), called up with Home shown.
    void StartWithNotes() {
        SeedNotes({{1, 0, L"Home", L"home text"}, {2, 0, L"Work", L"work text"}, {3, 0, L"Play", L"play text"}});
        Start();
        dlg->Parts().tray.CallUp();
    }

    HWND Tree() { return dlg->Parts().tree.m_hWnd; }
    HWND Editor() { return dlg->Parts().editor.m_hWnd; }
};

TEST_F(Keys, ControlASelectsTheWholeNoteAndLeavesTheFocusWhereItWas) {
    StartWithNotes();
    dlg->Parts().editor.SetSel(0, 0);
    Type(L"more ");  // typed, not yet read back from the editor
    const int length = static_cast<int>(EditorText().size());

    dlg->Parts().tree.SetFocus();
    PressWithControl(Tree(), 'A');
    EXPECT_EQ(Selection(), std::make_pair(0, length));
    EXPECT_EQ(::GetFocus(), Tree());
    EXPECT_EQ(SelectedLabel(), L"Home");

    dlg->Parts().editor.SetSel(3, 3);
    dlg->Parts().editor.SetFocus();
    PressWithControl(Editor(), 'A');
    EXPECT_EQ(Selection(), std::make_pair(0, length));
    EXPECT_EQ(::GetFocus(), Editor());
    EXPECT_EQ(EditorText(), L"more home text");
}

TEST_F(Keys, ControlWithAltIsLeftToTypeLetters) {
    // AltGr arrives as Ctrl+Alt; AltGr+A types a letter on many keyboards.
    StartWithNotes();
    dlg->Parts().editor.SetSel(3, 3);
    {
        HeldKeys altGr({VK_CONTROL, VK_LCONTROL, VK_MENU, VK_RMENU});
        Press(Editor(), 'A');
    }
    EXPECT_NE(Selection(), std::make_pair(0, static_cast<int>(EditorText().size())));
}

TEST_F(Keys, ControlOSAndPSendTheFileCommands) {
    StartWithNotes();
    SentMessages toWindow(dlg->m_hWnd);
    PressWithControl(Editor(), 'O');
    PressWithControl(Tree(), 'S');
    PressWithControl(Editor(), 'P');
    EXPECT_EQ(toWindow.Commands(), (std::vector<UINT>{ID_FILE_LOAD, ID_FILE_SAVE, ID_FILE_PRINT}));
    EXPECT_EQ(EditorText(), L"home text");
}

TEST_F(Keys, TheEditorKeepsItsOwnControlKeys) {
    StartWithNotes();
    SentMessages toWindow(dlg->m_hWnd);
    dlg->Parts().editor.SetSel(0, 4);
    PressWithControl(Editor(), 'X');
    EXPECT_EQ(EditorText(), L" text");
    dlg->Parts().editor.SetSel(5, 5);
    PressWithControl(Editor(), 'V');
    EXPECT_EQ(EditorText(), L" texthome");
    PressWithControl(Editor(), 'Z');
    EXPECT_EQ(EditorText(), L" text");
    EXPECT_TRUE(toWindow.Commands().empty());
}

TEST_F(Keys, TabMovesTheFocusBetweenTreeAndEditorOnly) {
    StartWithNotes();
    ASSERT_EQ(::GetFocus(), Editor());
    std::vector<HWND> focus;
    for (int i = 0; i < 4; ++i) {
        Press(::GetFocus(), VK_TAB);
        focus.push_back(::GetFocus());
    }
    EXPECT_EQ(focus, (std::vector<HWND>{Tree(), Editor(), Tree(), Editor()}));

    {
        HeldKeys shift({VK_SHIFT, VK_LSHIFT});
        Press(Editor(), VK_TAB);
    }
    EXPECT_EQ(::GetFocus(), Tree());

    // A Tab that reaches the window itself goes nowhere.
    Press(dlg->m_hWnd, VK_TAB);
    EXPECT_EQ(::GetFocus(), Tree());
    EXPECT_EQ(EditorText(), L"home text");
}

TEST_F(Keys, EscapeInTheTreeHidesTheWindowAndSaves) {
    StartWithNotes();
    dlg->Parts().editor.SetSel(0, 0);
    Type(L"saved ");
    dlg->Parts().tree.SetFocus();
    Press(Tree(), VK_ESCAPE);
    EXPECT_FALSE(dlg->IsWindowVisible());
    EXPECT_EQ(StoredText(1), L"saved home text");
    EXPECT_TRUE(modal.Boxes().empty());
    EXPECT_FALSE(dlg->IsEnded());
}

TEST_F(Keys, DeleteInTheTreeAsksToDeleteTheNoteAndInTheEditorDeletesText) {
    StartWithNotes();
    Select(L"Work");
    dlg->Parts().tree.SetFocus();
    modal.Answer(IDNO);
    Press(Tree(), VK_DELETE);
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_EQ(modal.Boxes()[0].text, L"Do you want to delete:Work and all its subnotes?");
    EXPECT_NE(FindItem(L"Work"), nullptr);
    EXPECT_EQ(StoredCount(), 3);

    dlg->Parts().editor.SetFocus();
    dlg->Parts().editor.SetSel(0, 0);
    Press(Editor(), VK_DELETE);
    EXPECT_EQ(EditorText(), L"ork text");
    EXPECT_EQ(modal.Boxes().size(), 1u);
}

TEST_F(Keys, FunctionKeysReachTheNoteCommands) {
    StartWithNotes();
    TextEntryAnswer& names = modal.Names();
    names.Cancel();
    Press(Editor(), VK_F2);
    ASSERT_EQ(names.Windows().size(), 1u);
    EXPECT_EQ(names.Windows()[0].caption, L"Rename Note");
    EXPECT_EQ(names.Windows()[0].text, L"Home");
    EXPECT_EQ(SelectedLabel(), L"Home");

    names.Type(L"Top");
    Press(Tree(), VK_F5);
    EXPECT_EQ(StoredCount(L"pid=0 AND name='Top'"), 1);
    EXPECT_EQ(SelectedLabel(), L"Top");

    names.Type(L"Under");
    Press(Editor(), VK_F6);
    EXPECT_EQ(StoredCount(L"name='Under' AND pid=(SELECT id FROM notes WHERE name='Top')"), 1);
    EXPECT_EQ(names.Windows().size(), 3u);
}

TEST_F(Keys, F3AndF4SendFindNextAndOptions) {
    StartWithNotes();
    SentMessages toWindow(dlg->m_hWnd);
    Press(Editor(), VK_F3);
    Press(Tree(), VK_F4);
    EXPECT_EQ(toWindow.Commands(), (std::vector<UINT>{ID_EDIT_FIND_NEXT, ID_FILE_OPTIONS}));
}

TEST_F(Keys, F11MaximisesAndRestores) {
    StartWithNotes();
    RECT before;
    ::GetWindowRect(dlg->m_hWnd, &before);
    Press(Editor(), VK_F11);
    EXPECT_TRUE(::IsZoomed(dlg->m_hWnd));
    Press(Tree(), VK_F11);
    EXPECT_FALSE(::IsZoomed(dlg->m_hWnd));
    RECT after;
    ::GetWindowRect(dlg->m_hWnd, &after);
    EXPECT_TRUE(::EqualRect(&before, &after));
}

TEST_F(Keys, AltWithArrowsAndPageKeysWalksTheTreeFromTheEditor) {
    StartWithNotes();
    dlg->Parts().editor.SetSel(0, 0);
    Type(L"edited ");

    PressWithAlt(Editor(), VK_DOWN);
    EXPECT_EQ(SelectedLabel(), L"Work");
    EXPECT_EQ(EditorText(), L"work text");
    EXPECT_EQ(::GetFocus(), Editor());
    ASSERT_TRUE(PumpUntil([&] { return StoredText(1) == L"edited home text"; }));

    PressWithAlt(Editor(), VK_NEXT);
    EXPECT_EQ(SelectedLabel(), L"Play");
    PressWithAlt(Editor(), VK_PRIOR);
    EXPECT_EQ(SelectedLabel(), L"Home");
    EXPECT_EQ(EditorText(), L"edited home text");
    PressWithAlt(Editor(), VK_DOWN);
    PressWithAlt(Editor(), VK_UP);
    EXPECT_EQ(SelectedLabel(), L"Home");
    EXPECT_EQ(::GetFocus(), Editor());
}

TEST_F(Keys, AltWithADigitSendsItsSnippetCommand) {
    StartWithNotes();
    SentMessages toWindow(dlg->m_hWnd);
    for (UINT digit : {'1', '2', '9', '0'})
        PressWithAlt(Editor(), digit);
    EXPECT_EQ(toWindow.Commands(), (std::vector<UINT>{1074, 1075, 1082, 1083}));
    EXPECT_EQ(EditorText(), L"home text");

    // Without Alt a digit is just typed.
    toWindow.Clear();
    dlg->Parts().editor.SetSel(0, 0);
    Press(Editor(), '0');
    EXPECT_EQ(EditorText(), L"0home text");
    EXPECT_TRUE(toWindow.Commands().empty());
}
