// Find, Find Next and Replace as the user meets them: the system's dialogs
// opened by their keys, driven by their controls and by keys pumped through the
// program's own pre-translation, and what the editor shows afterwards.
#include <windows.h>

#include <dlgs.h>

#include <string>

#include "framework/AppMessageBox.h"
#include "res/resource.h"
#include "support/KeyPresses.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"
#include "support/Stopwatch.h"

namespace {
// What a find/replace notification left behind, seen right after the main
// window handled it: whether a closing dialog's record outlived its window.
struct ClosingReports {
    CTallyLeafDlg* owner = nullptr;
    HWND dialog = nullptr;
    bool closingWithRecord = false;  // a closing report handled, its record still held
    bool droppedTooEarly = false;    // a record gone while its dialog's window still exists
};
ClosingReports g_reports;

LRESULT CALLBACK AfterMessage(int code, WPARAM w, LPARAM l) {
    const auto* done = reinterpret_cast<const CWPRETSTRUCT*>(l);
    if (code == HC_ACTION && g_reports.owner && done->hwnd == g_reports.owner->m_hWnd &&
        done->message == CFindReplace::s_nFindReplaceMsg) {
        const auto* request = reinterpret_cast<const FINDREPLACEW*>(done->lParam);
        // Only a record still held may be read.
        if (!g_reports.owner->Parts().find.FindReplace().HoldsRequest(request))
            g_reports.droppedTooEarly = g_reports.droppedTooEarly || ::IsWindow(g_reports.dialog);
        else if (request->Flags & FR_DIALOGTERM)
            g_reports.closingWithRecord = ::IsWindow(g_reports.dialog);
    }
    return ::CallNextHookEx(nullptr, code, w, l);
}
}  // namespace

class FindAndReplace : public MainWindowTest {
protected:
    // Note (1) with `text`, shown and called up, and an empty note Blank (2).
    void StartWithNote(const std::wstring& text) {
        SeedNotes({{1, 0, L"Note", text}, {2, 0, L"Blank", L""}});
        Start();
        dlg->Parts().tray.CallUp();
    }

    HWND Editor() { return dlg->Parts().editor.m_hWnd; }
    HWND Dialog() { return dlg->Parts().find.FindReplace().DialogWindow(); }

    void SetSel(int start, int end) { dlg->Parts().editor.SetSel(start, end); }

    // Fills the open dialog's find text (and replace text, when given).
    void Fill(const std::wstring& find, const wchar_t* replace = nullptr) {
        ::SetDlgItemTextW(Dialog(), edt1, find.c_str());
        if (replace)
            ::SetDlgItemTextW(Dialog(), edt2, replace);
    }
    // Presses Enter in the dialog's find box, as the user does.
    void PressEnterInDialog() {
        HWND box = ::GetDlgItem(Dialog(), edt1);
        ::SetFocus(box);
        Press(box, VK_RETURN);
    }
    void ClickInDialog(int button) {
        ::SendMessageW(Dialog(), WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(Dialog(), button)));
        PumpPending();
    }
};

TEST_F(FindAndReplace, TheFindDialogTakesItsOwnKeysAndClosesAfterAHit) {
    StartWithNote(L"alpha beta alpha beta");
    SetSel(0, 0);
    PressWithControl(Editor(), 'F');
    HWND dialog = Dialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(::IsWindowVisible(dialog));

    // Tab moves on inside the dialog: the keys reach it through the main window's loop.
    HWND box = ::GetDlgItem(dialog, edt1);
    ::SetFocus(box);
    Press(box, VK_TAB);
    EXPECT_NE(::GetFocus(), box);
    EXPECT_TRUE(::IsChild(dialog, ::GetFocus()));

    Fill(L"BETA");  // the case is ignored until the dialog says otherwise
    PressEnterInDialog();
    EXPECT_EQ(Selection(), std::make_pair(6, 10));
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(dialog); }));
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_FALSE(dlg->Parts().find.FindReplace().MatchCase());

    // Upward, with match case, from the caret right after the second "beta":
    // that one is skipped, and "Beta" does not match "beta".
    dlg->Parts().editor.SetWindowText(L"Beta beta alpha beta");
    SetSel(20, 20);
    Command(ID_EDIT_FIND);
    Fill(L"beta");
    ::CheckRadioButton(Dialog(), rad1, rad2, rad1);
    ::CheckDlgButton(Dialog(), chx2, BST_CHECKED);
    PressEnterInDialog();
    EXPECT_EQ(Selection(), std::make_pair(5, 9));
    EXPECT_TRUE(dlg->Parts().find.FindReplace().MatchCase());
    EXPECT_FALSE(dlg->Parts().find.FindReplace().SearchDown());
    EXPECT_TRUE(modal.Boxes().empty());
}

TEST_F(FindAndReplace, AClosingDialogKeepsItsRecordUntilItsWindowIsGone) {
    StartWithNote(L"alpha");
    PressWithControl(Editor(), 'F');
    g_reports = {dlg.get(), Dialog()};
    ASSERT_NE(g_reports.dialog, nullptr);
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, &AfterMessage, nullptr, ::GetCurrentThreadId());
    ClickInDialog(IDCANCEL);
    EXPECT_TRUE(PumpUntil([&] { return !::IsWindow(g_reports.dialog); }));
    ::UnhookWindowsHookEx(hook);
    EXPECT_TRUE(g_reports.closingWithRecord);
    EXPECT_FALSE(g_reports.droppedTooEarly);
    EXPECT_EQ(Dialog(), nullptr);
    g_reports = {};

    // The next dialog is the current one, and works.
    PressWithControl(Editor(), 'F');
    ASSERT_NE(Dialog(), nullptr);
    Fill(L"PHA");
    PressEnterInDialog();
    EXPECT_EQ(Selection(), std::make_pair(2, 5));
}

TEST_F(FindAndReplace, FindNextReportsWhenNothingIsLeftAndNeedsAText) {
    StartWithNote(L"one two one two");
    // F3 with nothing to look for yet opens the Find dialog.
    Press(Editor(), VK_F3);
    ASSERT_NE(Dialog(), nullptr);
    Fill(L"two");
    PressEnterInDialog();
    EXPECT_EQ(Selection(), std::make_pair(4, 7));

    Press(Editor(), VK_F3);
    EXPECT_EQ(Selection(), std::make_pair(12, 15));
    EXPECT_TRUE(modal.Boxes().empty());
    Press(Editor(), VK_F3);
    EXPECT_EQ(Selection(), std::make_pair(12, 15));  // the last match stays selected
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_EQ(modal.Boxes()[0].text, L"Cannot find:two");
    EXPECT_EQ(modal.Boxes()[0].caption, AppName());
    EXPECT_EQ(modal.Boxes()[0].icon, ModalAnswer::StockIcon(IDI_INFORMATION));

    // On an empty note Find Next is disabled: F3 does nothing, Ctrl+F still opens the dialog.
    PumpUntil([&] { return Dialog() == nullptr; });
    Select(L"Blank");
    Press(Editor(), VK_F3);
    EXPECT_EQ(Dialog(), nullptr);
    EXPECT_EQ(modal.Boxes().size(), 1u);
    PressWithControl(Editor(), 'F');
    EXPECT_NE(Dialog(), nullptr);
}

TEST_F(FindAndReplace, ReplaceReplacesOnlyAMatchAndTheDialogStays) {
    StartWithNote(L"cat dog cat dog cat");
    SetSel(4, 7);  // "dog": no match
    PressWithControl(Editor(), 'H');
    HWND dialog = Dialog();
    ASSERT_NE(dialog, nullptr);
    Fill(L"cat", L"cow");

    ClickInDialog(psh1);  // Replace: the selection is no match, so it only moves on
    EXPECT_EQ(EditorText(), L"cat dog cat dog cat");
    EXPECT_EQ(Selection(), std::make_pair(8, 11));
    ClickInDialog(psh1);
    EXPECT_EQ(EditorText(), L"cat dog cow dog cat");
    EXPECT_EQ(Selection(), std::make_pair(16, 19));

    // Find Next from the Replace dialog leaves it open.
    SetSel(0, 0);
    PressEnterInDialog();
    EXPECT_EQ(Selection(), std::make_pair(0, 3));
    PumpPending();
    EXPECT_TRUE(::IsWindow(dialog));
    EXPECT_EQ(Dialog(), dialog);
    EXPECT_TRUE(dlg->Parts().editor.GetModify());
}

TEST_F(FindAndReplace, ReplaceAllWorksOnFromTheCaretAsOneUndoableChange) {
    const std::wstring original = L"a-a-a-a\r\nb a";
    StartWithNote(original);
    SetSel(3, 3);
    Command(ID_EDIT_REPLACE);
    Fill(L"a", L"aa");  // the replacement holds the find text
    ClickInDialog(psh2);
    EXPECT_EQ(EditorText(), L"a-a-aa-aa\r\nb aa");
    EXPECT_EQ(Selection(), std::make_pair(15, 15));
    EXPECT_TRUE(modal.Boxes().empty());
    EXPECT_TRUE(::IsWindow(Dialog()));

    Command(ID_EDIT_UNDO);
    EXPECT_EQ(EditorText(), original);
}

TEST_F(FindAndReplace, ReplaceAllInAMegabyteNoteIsOnePass) {
    // 10,000 lines of about 100 characters, each with one match.
    std::wstring line = L"some words before the needle and some words after it, to make a long line of text";
    line += std::wstring(100 - line.size() - 2, L'.') + L"\r\n";
    std::wstring text;
    for (int i = 0; i < 10000; ++i)
        text += line;
    StartWithNote(L"");
    dlg->Parts().editor.SetWindowText(text);
    SetSel(0, 0);
    Command(ID_EDIT_REPLACE);
    Fill(L"NEEDLE", L"pin");

    const Stopwatch watch;
    ClickInDialog(psh2);
    // Loose here: most of it is the edit control laying out the new megabyte,
    // which under a loaded Wine takes seconds; one replacement at a time took minutes.
    EXPECT_LT(watch.ElapsedMs(), 30000.0);
    const std::wstring result = EditorText();
    EXPECT_EQ(result.size(), text.size() - 10000 * 3);
    EXPECT_EQ(result.find(L"needle"), std::wstring::npos);
    std::wstring replacedLine = line;
    replacedLine.replace(replacedLine.find(L"needle"), 6, L"pin");
    EXPECT_EQ(result.substr(0, replacedLine.size() * 2), replacedLine + replacedLine);
}
