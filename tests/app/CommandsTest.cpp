// The menu commands as the user meets them: which items are enabled and checked
// when a menu opens, what the Edit commands do to the editor and the clipboard,
// that a disabled command sent as a command does nothing, the web pages, and
// that the menu bar and the command table name the same commands.
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "app/TallyLeafDlg.h"
#include "app/TestSeams.h"
#include "shell/ShellOpen.h"
#include "res/resource.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"
#include "support/SentMessages.h"
#include "support/ShellProbes.h"

namespace {
// Positions of the menu bar's popups.
enum Popup { kFile = 0, kEdit = 1, kNotes = 2, kFormat = 3, kHelp = 5 };

// The clipboard, opened for one set of changes or reads. Another process (the
// system's clipboard manager) may hold it for a moment, so opening is retried.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) {
        m_bOpen = PumpUntil([owner] { return ::OpenClipboard(owner) != FALSE; }, 2000);
    }
    ~OpenedClipboard() {
        if (m_bOpen)
            ::CloseClipboard();
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    bool IsOpen() const { return m_bOpen; }

private:
    bool m_bOpen = false;
};

HGLOBAL GlobalCopy(const void* data, size_t size) {
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(::GlobalLock(block), data, size);
    ::GlobalUnlock(block);
    return block;
}
}  // namespace

class Commands : public MainWindowTest {
protected:
    // Top-level notes Home (1, "home text"), Work (2, "work text") and Blank (3, empty); Home is shown.
    void StartWithNotes() {
        SeedNotes({{1, 0, L"Home", L"home text"}, {2, 0, L"Work", L"work text"}, {3, 0, L"Blank", L""}});
        Start();
        dlg->Parts().tray.CallUp();
    }

    // Sends a command as a menu item does: a command message without a control.

    // The item's state once its popup of the menu bar has been told it opens.
    UINT StateWhenOpened(Popup popup, UINT id) {
        HMENU menu = ::GetSubMenu(::GetMenu(dlg->m_hWnd), popup);
        dlg->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(popup, FALSE));
        return ::GetMenuState(menu, id, MF_BYCOMMAND);
    }
    bool EnabledWhenOpened(Popup popup, UINT id) {
        return (StateWhenOpened(popup, id) & (MF_GRAYED | MF_DISABLED)) == 0;
    }
    bool CheckedWhenOpened(Popup popup, UINT id) { return (StateWhenOpened(popup, id) & MF_CHECKED) != 0; }

    // Replaces what the clipboard holds with one item of data (nothing when `data` is null).
    void PutOnClipboard(UINT format, HANDLE data) {
        OpenedClipboard clipboard(dlg->m_hWnd);
        ASSERT_TRUE(clipboard.IsOpen());
        ::EmptyClipboard();
        if (data) {
            ASSERT_NE(::SetClipboardData(format, data), nullptr);
        }
    }
    void PutUnicodeText(const std::wstring& text) {
        PutOnClipboard(CF_UNICODETEXT, GlobalCopy(text.c_str(), (text.size() + 1) * sizeof(wchar_t)));
    }
    void PutAnsiText(const std::string& text) { PutOnClipboard(CF_TEXT, GlobalCopy(text.c_str(), text.size() + 1)); }
    void PutPrivateData() {
        const UINT format = ::RegisterClipboardFormatW(L"Tallyleaf.Tests.PrivateData");
        const char bytes[] = "not text";
        PutOnClipboard(format, GlobalCopy(bytes, sizeof bytes));
    }
    void PutBitmap() { PutOnClipboard(CF_BITMAP, ::CreateBitmap(2, 2, 1, 1, nullptr)); }
    std::wstring ClipboardText() {
        OpenedClipboard clipboard(dlg->m_hWnd);
        if (!clipboard.IsOpen())
            return L"<clipboard not opened>";
        HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
        if (!data)
            return L"<no text>";
        std::wstring text(static_cast<const wchar_t*>(::GlobalLock(data)));
        ::GlobalUnlock(data);
        return text;
    }
};

TEST_F(Commands, UndoIsEnabledWhileTheEditorCanUndoAndUndoes) {
    StartWithNotes();
    EXPECT_FALSE(EnabledWhenOpened(kEdit, ID_EDIT_UNDO));  // a note just shown has nothing to undo

    dlg->Parts().editor.SetSel(0, 0);
    Type(L"new ");
    EXPECT_TRUE(EnabledWhenOpened(kEdit, ID_EDIT_UNDO));
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(EditorText(), L"home text");

    Select(L"Work");
    EXPECT_FALSE(EnabledWhenOpened(kEdit, ID_EDIT_UNDO));
}

TEST_F(Commands, CutCopyAndDeleteAreEnabledWhileTextIsSelected) {
    StartWithNotes();
    dlg->Parts().editor.SetSel(4, 4);
    for (UINT id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_DELETE})
        EXPECT_FALSE(EnabledWhenOpened(kEdit, id)) << "command " << id << " with the caret alone";
    dlg->Parts().editor.SetSel(0, 4);
    for (UINT id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_DELETE})
        EXPECT_TRUE(EnabledWhenOpened(kEdit, id)) << "command " << id << " with a selection";
}

TEST_F(Commands, PasteIsEnabledOnlyWhileTheClipboardHoldsText) {
    StartWithNotes();
    PutPrivateData();
    EXPECT_FALSE(EnabledWhenOpened(kEdit, ID_EDIT_PASTE)) << "a private format only";
    PutBitmap();
    EXPECT_FALSE(EnabledWhenOpened(kEdit, ID_EDIT_PASTE)) << "a bitmap only";
    PutOnClipboard(CF_UNICODETEXT, nullptr);
    EXPECT_FALSE(EnabledWhenOpened(kEdit, ID_EDIT_PASTE)) << "an empty clipboard";

    PutUnicodeText(L"\u0444\u0430\u0439\u043b");
    EXPECT_TRUE(EnabledWhenOpened(kEdit, ID_EDIT_PASTE)) << "Unicode text";
    // ANSI text counts: the system offers it as Unicode text too.
    PutAnsiText("ansi words");
    EXPECT_TRUE(EnabledWhenOpened(kEdit, ID_EDIT_PASTE)) << "ANSI text";
    dlg->Parts().editor.SetSel(0, 4);
    Command(ID_EDIT_PASTE);
    EXPECT_EQ(EditorText(), L"ansi words text");
}

TEST_F(Commands, CutCopyAndDeleteActOnTheEditorAndTheNoteIsSaved) {
    StartWithNotes();
    PutUnicodeText(L"old clipboard");
    dlg->Parts().editor.SetSel(0, 4);
    Command(ID_EDIT_COPY);
    EXPECT_EQ(ClipboardText(), L"home");
    EXPECT_EQ(EditorText(), L"home text");

    dlg->Parts().editor.SetSel(4, 9);
    Command(ID_EDIT_CUT);
    EXPECT_EQ(ClipboardText(), L" text");
    EXPECT_EQ(EditorText(), L"home");

    dlg->Parts().editor.SetSel(0, 2);
    Command(ID_EDIT_DELETE);
    EXPECT_EQ(EditorText(), L"me");
    EXPECT_EQ(ClipboardText(), L" text");  // Delete leaves the clipboard alone

    dlg->Parts().tray.Hide();
    EXPECT_EQ(StoredText(1), L"me");
}

TEST_F(Commands, ADisabledCommandSentAsACommandDoesNothing) {
    StartWithNotes();
    SentMessages toEditor(dlg->Parts().editor);

    // Cut, Copy and Delete with the caret alone: the clipboard keeps what it held.
    PutUnicodeText(L"kept on the clipboard");
    dlg->Parts().editor.SetSel(2, 2);
    for (UINT id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_DELETE})
        Command(id);
    EXPECT_EQ(ClipboardText(), L"kept on the clipboard");
    EXPECT_EQ(EditorText(), L"home text");
    EXPECT_TRUE(toEditor.Of(WM_CUT).empty());
    EXPECT_TRUE(toEditor.Of(WM_COPY).empty());
    EXPECT_TRUE(toEditor.Of(WM_CLEAR).empty());

    // Undo with nothing to undo: the caret stays where it is.
    dlg->Parts().editor.SetSel(5, 5);
    Command(ID_EDIT_UNDO);
    EXPECT_EQ(Selection(), std::make_pair(5, 5));
    EXPECT_TRUE(toEditor.Of(EM_UNDO).empty());
    EXPECT_TRUE(toEditor.Of(WM_UNDO).empty());

    // Paste with no text on the clipboard.
    PutPrivateData();
    Command(ID_EDIT_PASTE);
    EXPECT_TRUE(toEditor.Of(WM_PASTE).empty());
    EXPECT_EQ(EditorText(), L"home text");
    EXPECT_FALSE(dlg->Parts().editor.GetModify());
}

TEST_F(Commands, FindCommandsAreEnabledWhileTheNoteHasText) {
    StartWithNotes();
    const UINT findCommands[] = {ID_EDIT_FIND, ID_EDIT_FIND_NEXT, ID_EDIT_REPLACE};
    Select(L"Blank");
    for (UINT id : findCommands)
        EXPECT_FALSE(EnabledWhenOpened(kEdit, id)) << "command " << id << " on an empty note";

    // Text just typed counts, though nothing has read the editor since.
    Type(L"x");
    for (UINT id : findCommands)
        EXPECT_TRUE(EnabledWhenOpened(kEdit, id)) << "command " << id << " after typing";

    dlg->Parts().editor.SetSel(0, -1);
    dlg->Parts().editor.Clear();
    for (UINT id : findCommands)
        EXPECT_FALSE(EnabledWhenOpened(kEdit, id)) << "command " << id << " after deleting the text";
}

TEST_F(Commands, EveryOtherItemIsEnabledWhateverTheState) {
    StartWithNotes();
    Select(L"Blank");
    PutOnClipboard(CF_UNICODETEXT, nullptr);
    for (Popup popup : {kFile, kNotes, kFormat, kHelp}) {
        HMENU menu = ::GetSubMenu(::GetMenu(dlg->m_hWnd), popup);
        dlg->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(popup, FALSE));
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            if (::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR)
                continue;
            // Undo Delete waits for a delete (NoteOperationsTest).
            if (::GetMenuItemID(menu, i) == ID_NOTES_UNDO_DELETE)
                continue;
            EXPECT_FALSE(::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED)
                << "popup " << popup << ", item " << ::GetMenuItemID(menu, i);
        }
    }
}

TEST_F(Commands, MenusShowAlwaysOnTopAndWordWrapAsCheckMarks) {
    StartWithNotes();
    EXPECT_FALSE(CheckedWhenOpened(kFile, ID_FILE_ALWAYS_ON_TOP));
    EXPECT_TRUE(CheckedWhenOpened(kFormat, ID_FORMAT_WORD_WRAP));
    Finish();

    Configure(L"Main", L"AlwaysOnTop", L"1");
    Configure(L"Main", L"WordWrap", L"0");
    Start();
    EXPECT_TRUE(CheckedWhenOpened(kFile, ID_FILE_ALWAYS_ON_TOP));
    EXPECT_FALSE(CheckedWhenOpened(kFormat, ID_FORMAT_WORD_WRAP));
    // Nothing else in those menus carries a mark.
    EXPECT_FALSE(CheckedWhenOpened(kFile, ID_FILE_HIDE));
    EXPECT_FALSE(CheckedWhenOpened(kFormat, ID_FORMAT_FONT));
}

TEST_F(Commands, TheHelpMenusPagesGoToTheShellAsBareAddresses) {
    StartWithNotes();
    ShellRequests shell(42);  // the shell's answer for success
    const std::pair<UINT, const wchar_t*> pages[] = {
        {ID_HELP_HOME_PAGE, L"https://tallyleaf.example/"},
        {ID_HELP_FORUM, L"https://tallyleaf.example/forum"},
        {ID_HELP_FEEDBACK, L"https://tallyleaf.example/feedback"},
        {ID_HELP_NEWSLETTER, L"https://tallyleaf.example/newsletter"},
    };
    for (const auto& [command, address] : pages) {
        Command(command);
        ASSERT_FALSE(shell.Requests().empty());
        const ShellRequests::Request& request = shell.Requests().back();
        EXPECT_EQ(request.file, address) << "command " << command;
        EXPECT_FALSE(request.hasOwner);
        EXPECT_FALSE(request.hasVerb);
        EXPECT_FALSE(request.hasParameters);
        EXPECT_FALSE(request.hasDirectory);
        EXPECT_EQ(request.show, SW_SHOWNORMAL);
    }
    EXPECT_EQ(shell.Requests().size(), 4u);
}

TEST_F(Commands, APageTheShellCannotOpenIsNotReported) {
    StartWithNotes();
    ShellRequests shell(SE_ERR_NOASSOC);
    Command(ID_HELP_FORUM);
    PumpPending();
    EXPECT_EQ(shell.Requests().size(), 1u);
    EXPECT_TRUE(modal.Boxes().empty());
}

// No menu item runs nothing, and no command of the table goes without its menu item.
TEST_F(Commands, EveryMenuItemHasACommandAndEveryCommandAMenuItem) {
    Start();
    const CommandTable<MainCommands> commands = MainCommands::Table();
    std::set<UINT> items;
    HMENU bar = ::GetMenu(dlg->m_hWnd);
    for (int p = 0; p < ::GetMenuItemCount(bar); ++p) {
        HMENU popup = ::GetSubMenu(bar, p);
        for (int i = 0; i < ::GetMenuItemCount(popup); ++i) {
            const UINT id = ::GetMenuItemID(popup, i);
            if ((::GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) ||
                (id >= ID_INSERT_FIRST && id <= ID_INSERT_LAST))
                continue;
            EXPECT_NE(commands.Find(id), nullptr) << "popup " << p << ", item " << i << ": id " << id;
            items.insert(id);
        }
    }
    for (const MainCommands::Row& row : commands)
        EXPECT_EQ(items.count(row.id), 1u) << "command " << row.id;
}
