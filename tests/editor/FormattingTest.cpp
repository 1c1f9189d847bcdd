// The Format menu on the real main window: word wrap re-creates the editor
// and keeps what it held; the font and the two colours reach editor and tree
// and are kept in the configuration; cancelled dialogs change nothing.
#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>

#include <algorithm>
#include <cstring>

#include "settings/FontRecord.h"
#include "editor/EditorFixture.h"
#include "framework/DC.h"
#include "res/resource.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"

namespace {
// The colour dialog's boxes for red, green and blue.
constexpr int kRedBox = 706;
constexpr int kGreenBox = 707;
constexpr int kBlueBox = 708;

LOGFONTW FontOf(HWND window) {
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

bool HasStyle(HWND window, LONG style) {
    return (::GetWindowLongW(window, GWL_STYLE) & style) == style;
}

// A note of short paragraphs: one sentence repeated to `length` characters,
// a line break after every fifth one.
std::wstring Paragraphs(std::size_t length) {
    std::wstring text;
    for (int i = 0; text.size() < length; ++i)
        text += (i % 5 == 4) ? L"The quick brown fox jumps over the lazy dog.\r\n"
                             : L"The quick brown fox jumps over the lazy dog. ";
    text.resize(length);
    return text;
}

// Answers the colour dialog with the colour typed into its red, green and blue boxes.
ModalAnswer::Action TypeColour(COLORREF colour) {
    return [colour](HWND dialog) {
        ::SetDlgItemInt(dialog, kRedBox, GetRValue(colour), FALSE);
        ::SetDlgItemInt(dialog, kGreenBox, GetGValue(colour), FALSE);
        ::SetDlgItemInt(dialog, kBlueBox, GetBValue(colour), FALSE);
        return IDOK;
    };
}

class Formatting : public MainWindowTest {
protected:
    // The formatting commands finish their work in what they post.
    void Command(UINT id) {
        MainWindowTest::Command(id);
        PumpPending();
    }
    // The colours the main window gives the editor to paint with.
    void EditorColours(COLORREF& text, COLORREF& back, COLORREF& brush) {
        CMemoryDC dc(nullptr);
        const auto answer =
            reinterpret_cast<HBRUSH>(dlg->SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)),
                                                      reinterpret_cast<LPARAM>(dlg->Parts().editor.m_hWnd)));
        text = ::GetTextColor(dc);
        back = ::GetBkColor(dc);
        LOGBRUSH lb{};
        ::GetObjectW(answer, sizeof lb, &lb);
        brush = lb.lbColor;
    }
};
}  // namespace

TEST_F(Formatting, WordWrapRecreatesTheEditorKeepingTextSelectionModifiedFlagLimitFontAndDrops) {
    const std::wstring note = Paragraphs(200000);
    SeedNotes({{1, 0, L"Long", note}});
    Configure(L"Main", L"WordWrap", L"0");
    Start();
    dlg->Parts().tray.CallUp();
    Select(L"Long");
    PumpPending();
    const int paragraphs = static_cast<int>(std::count(note.begin(), note.end(), L'\n')) + 1;
    // Without wrapping each paragraph is one line, and the editor scrolls sideways.
    EXPECT_TRUE(HasStyle(dlg->Parts().editor, WS_HSCROLL));
    EXPECT_EQ(dlg->Parts().editor.GetLineCount(), paragraphs);
    const HFONT font = reinterpret_cast<HFONT>(dlg->Parts().editor.SendMessage(WM_GETFONT));

    dlg->Parts().editor.SetSel(1000, 1010);
    dlg->Parts().editor.SetModify(true);
    Command(ID_FORMAT_WORD_WRAP);
    EXPECT_EQ(ConfigValue(L"Main", L"WordWrap"), L"1");
    EXPECT_FALSE(HasStyle(dlg->Parts().editor, WS_HSCROLL));
    // The re-created editor hides its selection while it lacks the focus.
    EXPECT_FALSE(HasStyle(dlg->Parts().editor, ES_NOHIDESEL));
    EXPECT_TRUE(HasStyle(dlg->Parts().editor, WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN));
    EXPECT_GT(dlg->Parts().editor.GetLineCount(), paragraphs);
    EXPECT_TRUE(EditorText() == note);
    EXPECT_EQ(Selection(), std::make_pair(1000, 1010));
    EXPECT_TRUE(dlg->Parts().editor.GetModify());
    EXPECT_EQ(::GetFocus(), dlg->Parts().editor.m_hWnd);
    EXPECT_EQ(reinterpret_cast<HFONT>(dlg->Parts().editor.SendMessage(WM_GETFONT)), font);
    EXPECT_EQ(dlg->Parts().editor.GetDlgCtrlID(), IDC_EDIT_NOTE);

    dlg->Parts().editor.SetModify(false);
    Command(ID_FORMAT_WORD_WRAP);
    EXPECT_EQ(ConfigValue(L"Main", L"WordWrap"), L"0");
    EXPECT_TRUE(HasStyle(dlg->Parts().editor, WS_HSCROLL));
    EXPECT_EQ(dlg->Parts().editor.GetLineCount(), paragraphs);
    EXPECT_FALSE(dlg->Parts().editor.GetModify());

    // Typing goes on past the control's usual limit of 30,000 characters.
    const int length = static_cast<int>(note.size());
    dlg->Parts().editor.SetSel(length, length);
    dlg->Parts().editor.SendMessage(WM_CHAR, L'!', 1);
    EXPECT_EQ(EditorText().size(), note.size() + 1);

    // A drop from another program still lands.
    dlg->Parts().editor.SetSel(0, 0);
    OfferedData data;
    data.Unicode(L"dropped ");
    POINT at{20, 10};
    ::ClientToScreen(dlg->Parts().editor, &at);
    ScriptedDrag drag(at, false);
    EXPECT_NE(data.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE), static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    EXPECT_LT(EditorText().find(L"dropped "), 10u);  // where the pointer was

    // What was typed and dropped is the note's.
    dlg->Parts().tray.Hide();
    EXPECT_EQ(StoredText(1).size(), note.size() + 9);
}

TEST_F(Formatting, TheChosenFontReachesEditorAndTreeAndIsKeptAsItsRecord) {
    LOGFONTW tahoma = FontRecord::Default();
    wcscpy_s(tahoma.lfFaceName, L"Tahoma");
    tahoma.lfWeight = FW_BOLD;
    FontRecord::Write(tahoma);
    Start();
    dlg->Parts().tray.CallUp();
    const HFONT before = reinterpret_cast<HFONT>(dlg->Parts().editor.SendMessage(WM_GETFONT));
    const std::wstring record = ConfigValue(L"Tallyleaf", L"Fontdlg");
    modal.Answer(IDCANCEL);
    Command(ID_FORMAT_FONT);
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_EQ(reinterpret_cast<HFONT>(dlg->Parts().editor.SendMessage(WM_GETFONT)), before);
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"Fontdlg"), record);

    modal.Answer([](HWND dialog) {
        // The dialog starts from the editor's font.
        wchar_t face[LF_FACESIZE] = {};
        ::GetDlgItemTextW(dialog, cmb1, face, LF_FACESIZE);
        EXPECT_STREQ(face, L"Tahoma");
        HWND sizes = ::GetDlgItem(dialog, cmb3);
        ::SendMessageW(sizes, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"20"));
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(cmb3, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizes));
        ::CheckDlgButton(dialog, chx2, BST_CHECKED);  // underline
        ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(chx2, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog, chx2)));
        return IDOK;
    });
    Command(ID_FORMAT_FONT);
    const LOGFONTW chosen = FontOf(dlg->Parts().editor);
    EXPECT_STREQ(chosen.lfFaceName, L"Tahoma");
    EXPECT_EQ(chosen.lfWeight, FW_BOLD);
    EXPECT_EQ(chosen.lfUnderline, 1);
    EXPECT_EQ(chosen.lfHeight, -27);  // 20 points on the screen
    EXPECT_EQ(dlg->Parts().tree.SendMessage(WM_GETFONT), dlg->Parts().editor.SendMessage(WM_GETFONT));
    // Stored as the 92-byte record, which reads back as the same description.
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"Fontdlg").size(), 2u * 92 + 2);
    const LOGFONTW stored = FontRecord::Read();
    EXPECT_EQ(std::memcmp(&stored, &chosen, sizeof chosen), 0);

    Finish();
    Start();
    const LOGFONTW restarted = FontOf(dlg->Parts().editor);
    EXPECT_EQ(std::memcmp(&stored, &restarted, sizeof stored), 0);
    EXPECT_EQ(FontOf(dlg->Parts().tree).lfUnderline, 1);
}

TEST_F(Formatting, ColoursAreStoredAsDecimalNumbersAndPaintEditorAndTree) {
    Start();
    dlg->Parts().tray.CallUp();
    COLORREF text = 0, back = 0, brush = 0;

    modal.Answer(TypeColour(RGB(0, 0, 255)));
    Command(ID_FORMAT_FONT_COLOR);
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"TextColor"), L"16711680");
    EditorColours(text, back, brush);
    EXPECT_EQ(text, RGB(0, 0, 255));
    EXPECT_EQ(back, RGB(255, 255, 255));
    EXPECT_EQ(TreeView_GetTextColor(dlg->Parts().tree), RGB(0, 0, 255));

    modal.Answer(TypeColour(RGB(255, 255, 192)));
    Command(ID_FORMAT_BACK_COLOR);
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"bkColor"), L"12648447");
    EditorColours(text, back, brush);
    EXPECT_EQ(text, RGB(0, 0, 255));
    EXPECT_EQ(back, RGB(255, 255, 192));
    EXPECT_EQ(brush, RGB(255, 255, 192));
    EXPECT_EQ(TreeView_GetBkColor(dlg->Parts().tree), RGB(255, 255, 192));

    // Cancelled: nothing changes, nothing is written.
    modal.Answer([](HWND dialog) {
        ::SetDlgItemInt(dialog, kRedBox, 9, FALSE);
        return IDCANCEL;
    });
    Command(ID_FORMAT_BACK_COLOR);
    modal.Answer(IDCANCEL);
    Command(ID_FORMAT_FONT_COLOR);
    EXPECT_EQ(modal.Boxes().size(), 4u);
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"bkColor"), L"12648447");
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"TextColor"), L"16711680");
    EditorColours(text, back, brush);
    EXPECT_EQ(text, RGB(0, 0, 255));
    EXPECT_EQ(brush, RGB(255, 255, 192));
}
