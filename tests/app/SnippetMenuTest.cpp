// The Insert menu built from Insert.cfg in the data folder, and snippets put
// into the note by their keys and menu commands.
#include <ctime>
#include <string>

#include "res/resource.h"
#include "support/KeyPresses.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"
#include "support/Stopwatch.h"

class SnippetMenu : public MainWindowTest {
protected:
    void StartWithNotes() {
        SeedNotes({{1, 0, L"Home", L"home text"}, {2, 0, L"Work", L"work text"}});
        Start();
        dlg->Parts().tray.CallUp();
    }
    HMENU Popup() { return ::GetSubMenu(::GetMenu(dlg->m_hWnd), 4); }
    std::wstring Label(int position) {
        wchar_t label[128] = {};
        ::GetMenuStringW(Popup(), static_cast<UINT>(position), label, 128, MF_BYPOSITION);
        return label;
    }
};

TEST_F(SnippetMenu, SnippetsGoInAtTheCaretByKeyAndByMenuAndAreSaved) {
    WriteFileBytes(dir.File(L"Insert.cfg"), "Name=Greeting\r\nHello\r\nName=R&D\r\nlab\r\nName=Year\r\n%ExTime(#Y)%");
    StartWithNotes();
    ASSERT_EQ(::GetMenuItemCount(Popup()), 3);
    EXPECT_EQ(Label(0), L"Greeting\tAlt+1");
    EXPECT_EQ(Label(1), L"R&&D\tAlt+2");
    EXPECT_EQ(::GetMenuItemID(Popup(), 2), static_cast<UINT>(ID_INSERT_FIRST + 2));

    dlg->Parts().editor.SetSel(0, 4);  // "home" is replaced
    PressWithAlt(dlg->Parts().editor, '1');
    EXPECT_EQ(EditorText(), L"Hello text");
    PressWithAlt(dlg->Parts().editor, '5');  // three snippets only: nothing
    PressWithAlt(dlg->Parts().editor, '0');
    EXPECT_EQ(EditorText(), L"Hello text");

    Command(ID_INSERT_FIRST + 2);
    const std::wstring year = std::to_wstring(1900 + [] {
        const std::time_t now = std::time(nullptr);
        return std::localtime(&now)->tm_year;
    }());
    EXPECT_EQ(EditorText(), L"Hello" + year + L"\r\n text");
    const int caret = static_cast<int>(5 + year.size() + 2);
    EXPECT_EQ(Selection(), std::make_pair(caret, caret));

    // An insertion is an edit: it is saved when the user moves on.
    Select(L"Work");
    EXPECT_TRUE(PumpUntil([&] { return StoredText(1) == L"Hello" + year + L"\r\n text"; }));

    // One Undo takes the last insertion back.
    Command(ID_INSERT_FIRST + 1);
    EXPECT_EQ(EditorText(), L"labwork text");
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(EditorText(), L"work text");
}

TEST_F(SnippetMenu, ALargeFileFillsTheMenuUpToTheLastInsertCommandAndStartsQuickly) {
    // 10,000 snippets, about 1.5 MB: every one in the menu held up the start by seconds.
    std::string file;
    for (int i = 1; i <= 10000; ++i)
        file += "Name=S" + std::to_string(i) +
                "\r\nDear customer,\r\nthank you for your letter of %ExTime(#d.#m.#Y)%; "
                "we will answer it soon.\r\nKind regards\r\n\r\n";
    WriteFileBytes(dir.File(L"Insert.cfg"), file);
    const Stopwatch watch;
    StartWithNotes();
    EXPECT_LT(watch.ElapsedMs(), 3000.0);
    ASSERT_EQ(::GetMenuItemCount(Popup()), ID_INSERT_LAST - ID_INSERT_FIRST + 1);
    EXPECT_EQ(Label(50), L"Name=S51");
    EXPECT_EQ(::GetMenuItemID(Popup(), 50), static_cast<UINT>(ID_INSERT_LAST));
}

TEST_F(SnippetMenu, WithoutAFileTheMenuIsEmptyAndNothingIsSaid) {
    StartWithNotes();
    EXPECT_EQ(::GetMenuItemCount(Popup()), 0);
    PressWithAlt(dlg->Parts().editor, '1');
    EXPECT_EQ(EditorText(), L"home text");
    EXPECT_TRUE(modal.Boxes().empty());
}
