// The configuration file: defaults, hand-edited values, the font record, the
// writes at the end.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <sstream>
#include <vector>

#include "settings/AppFolders.h"
#include "settings/Settings.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"
#include "support/ShellProbes.h"

namespace {
// The configuration file's structure form: the bytes as upper-case hex pairs,
// then the sum of the bytes modulo 256.
std::wstring StructForm(const void* data, size_t size) {
    const BYTE* bytes = static_cast<const BYTE*>(data);
    std::wstring text;
    unsigned sum = 0;
    wchar_t pair[3];
    for (size_t i = 0; i < size; ++i) {
        swprintf(pair, 3, L"%02X", bytes[i]);
        text += pair;
        sum += bytes[i];
    }
    swprintf(pair, 3, L"%02X", sum & 0xFF);
    return text + pair;
}

LOGFONTW CourierBold() {
    LOGFONTW font{};
    font.lfHeight = -20;
    font.lfWeight = FW_BOLD;
    font.lfItalic = 1;
    font.lfCharSet = DEFAULT_CHARSET;
    wcscpy_s(font.lfFaceName, L"Courier New");
    return font;
}

// The font the editor draws with.
LOGFONTW EditorFont(CTallyLeafDlg& dlg) {
    LOGFONTW font{};
    auto handle = reinterpret_cast<HFONT>(dlg.Parts().editor.SendMessage(WM_GETFONT));
    ::GetObjectW(handle, sizeof font, &font);
    return font;
}

bool HasStyle(HWND hwnd, LONG style) {
    return (::GetWindowLongW(hwnd, GWL_STYLE) & style) != 0;
}

bool IsTopmost(HWND hwnd) {
    return (::GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

RECT WindowRect(HWND hwnd) {
    RECT r;
    ::GetWindowRect(hwnd, &r);
    return r;
}

// The non-empty lines of a text file in ANSI or UTF-16 (with its mark), in
// order; characters beyond ASCII become '?'.
std::vector<std::string> Lines(const std::wstring& path) {
    std::string text = ReadFileBytes(path);
    if (text.rfind("\xFF\xFE", 0) == 0) {
        std::string narrow;
        for (size_t i = 2; i + 1 < text.size(); i += 2)
            narrow += text[i + 1] == 0 && static_cast<unsigned char>(text[i]) < 0x80 ? text[i] : '?';
        text = narrow;
    }
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            lines.push_back(line);
    }
    return lines;
}
}  // namespace

class Configuration : public MainWindowTest {
protected:
    // Starts and calls up the window from a stored place and size as a file may
    // hold them; returns the work area of the screen nearest to the window.
    RECT CallUpAtPlace(const wchar_t* x, const wchar_t* y, const wchar_t* width, const wchar_t* height) {
        Configure(L"Tallyleaf", L"WX", x);
        Configure(L"Tallyleaf", L"WY", y);
        Configure(L"Tallyleaf", L"WWidth", width);
        Configure(L"Tallyleaf", L"WHeight", height);
        Start();
        dlg->Parts().tray.CallUp();
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        ::GetMonitorInfoW(::MonitorFromWindow(dlg->m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
        return monitor.rcWork;
    }
};

TEST_F(Configuration, WithoutAFileEveryDefaultHolds) {
    TrayRecorder tray;
    Start();
    EXPECT_FALSE(FileExists(dir.File(L"tallyleaf.cfg")));

    const RECT r = WindowRect(dlg->m_hWnd);
    EXPECT_EQ(r.left, 250);
    EXPECT_EQ(r.top, 150);
    EXPECT_EQ(r.right - r.left, 540);
    EXPECT_EQ(r.bottom - r.top, 420);
    EXPECT_FALSE(IsTopmost(dlg->m_hWnd));

    // The splitter at 120: the tree ends there once the window is laid out.
    dlg->Parts().tray.CallUp();
    RECT tree;
    ::GetWindowRect(dlg->Parts().tree, &tree);
    ::MapWindowPoints(nullptr, dlg->m_hWnd, reinterpret_cast<POINT*>(&tree), 2);
    EXPECT_EQ(tree.right, 120);

    EXPECT_EQ(TreeView_GetBkColor(dlg->Parts().tree), RGB(255, 255, 255));
    EXPECT_EQ(TreeView_GetTextColor(dlg->Parts().tree), RGB(0, 0, 0));
    const LOGFONTW font = EditorFont(*dlg);
    EXPECT_EQ(font.lfHeight, -14);
    EXPECT_EQ(font.lfWidth, 0);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_EQ(font.lfItalic, 0);
    EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
    EXPECT_STREQ(font.lfFaceName, L"MS Shell Dlg");
    // Word wrap: no horizontal scroll bar.
    EXPECT_FALSE(HasStyle(dlg->Parts().editor, WS_HSCROLL));

    EXPECT_EQ(tray.CallsOf(NIM_ADD).size(), 1u);
    EXPECT_TRUE(HotKeyIsTaken(MOD_ALT, 'S'));
    EXPECT_TRUE(modal.Boxes().empty());
}

TEST_F(Configuration, HandEditedValuesAreRead) {
    const std::wstring otherDb = dir.File(L"elsewhere.db");
    Configure(L"Main", L"DBPath", otherDb);    // read under "main"
    Configure(L"MAIN", L"alwaysontop", L"2");  // any number but 0 is on
    Configure(L"Main", L"WordWrap", L"yes");   // not a number: 0
    Configure(L"Main", L"HotKeyVK", L"3");     // Ctrl+Alt
    Configure(L"Main", L"HotKey", L"75");      // K
    Configure(L"tallyleaf", L"WX", L"x40");    // not a number: 0
    Configure(L"TALLYLEAF", L"wy", L"75");
    Configure(L"Tallyleaf", L"WWidth", L"500");
    Configure(L"Tallyleaf", L"WHeight", L"360");
    Configure(L"Tallyleaf", L"bkColor", L"255");      // red
    Configure(L"Tallyleaf", L"TextColor", L"65280");  // green
    Start();

    EXPECT_EQ(dlg->Parts().notes.DatabasePath(), otherDb);
    EXPECT_TRUE(FileExists(otherDb));
    EXPECT_FALSE(FileExists(DbPath()));
    EXPECT_TRUE(IsTopmost(dlg->m_hWnd));
    EXPECT_TRUE(HasStyle(dlg->Parts().editor, WS_HSCROLL));
    EXPECT_TRUE(HotKeyIsTaken(MOD_CONTROL | MOD_ALT, 'K'));
    EXPECT_FALSE(HotKeyIsTaken(MOD_ALT, 'S'));
    const RECT r = WindowRect(dlg->m_hWnd);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 75);
    EXPECT_EQ(r.right - r.left, 500);
    EXPECT_EQ(r.bottom - r.top, 360);
    EXPECT_EQ(TreeView_GetBkColor(dlg->Parts().tree), RGB(255, 0, 0));
    EXPECT_EQ(TreeView_GetTextColor(dlg->Parts().tree), RGB(0, 255, 0));
    EXPECT_TRUE(modal.Boxes().empty());
}

TEST_F(Configuration, APlaceNoScreenShowsComesOntoTheNearestScreen) {
    const RECT work = CallUpAtPlace(L"-99999", L"99999", L"500", L"360");
    ASSERT_NE(::MonitorFromWindow(dlg->m_hWnd, MONITOR_DEFAULTTONULL), nullptr) << "no screen shows the window";
    const RECT r = WindowRect(dlg->m_hWnd);
    // Into the corner nearest to where it was, whole, at its own size.
    EXPECT_EQ(r.left, work.left);
    EXPECT_EQ(r.bottom, work.bottom);
    EXPECT_EQ(r.right - r.left, 500);
    EXPECT_EQ(r.bottom - r.top, 360);
}

TEST_F(Configuration, AFontRecordCountsOnlyWithItsLengthAndChecksumIntact) {
    const LOGFONTW courier = CourierBold();
    const std::wstring good = StructForm(&courier, sizeof courier);
    ASSERT_EQ(good.size(), 186u);
    Configure(L"Tallyleaf", L"Fontdlg", good);
    Start();
    LOGFONTW font = EditorFont(*dlg);
    EXPECT_EQ(font.lfHeight, -20);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_EQ(font.lfItalic, 1);
    EXPECT_STREQ(font.lfFaceName, L"Courier New");
    Finish();

    std::wstring wrongSum = good;
    wrongSum.back() = wrongSum.back() == L'0' ? L'1' : L'0';
    const std::wstring body = good.substr(0, good.size() - 2);
    const std::wstring checksum = good.substr(good.size() - 2);
    const std::vector<std::wstring> broken = {
        wrongSum,
        body.substr(0, body.size() - 2) + checksum,  // a byte short
        body + L"0" + checksum,                      // one digit too many
        body + L"00" + checksum,                     // a byte too many (the sum still holds)
        L"",
    };
    for (const std::wstring& value : broken) {
        Configure(L"Tallyleaf", L"Fontdlg", value);
        Start();
        font = EditorFont(*dlg);
        EXPECT_EQ(font.lfHeight, -14) << "Fontdlg of " << value.size() << " digits";
        EXPECT_EQ(font.lfWeight, FW_NORMAL);
        EXPECT_EQ(font.lfItalic, 0);
        EXPECT_STREQ(font.lfFaceName, L"MS Shell Dlg");
        Finish();
    }
    EXPECT_TRUE(modal.Boxes().empty());
}

TEST_F(Configuration, TheEndWritesItsKeysInOrder) {
    Start();
    dlg->Parts().tray.CallUp();
    Finish();
    const std::vector<std::string> expected = {
        "[Stat]", "Runs=2",      "Uses=1",     "[Tallyleaf]", "WX=250",
        "WY=150", "WHeight=420", "WWidth=540", "MAXIMIZED=0", "SplitterPos=120",
    };
    EXPECT_EQ(Lines(dir.File(L"tallyleaf.cfg")), expected);
}

TEST_F(Configuration, APathOutsideTheAnsiCodePageSurvivesARestartAndAnAnsiFileKeepsItsValues) {
    Configure(L"Main", L"WordWrap", L"0");
    const std::wstring folder = dir.File(L"\u0141\u00f3d\u017a \u65e5\u672c\u8a9e");
    BOOL lossy = FALSE;
    ::WideCharToMultiByte(CP_ACP, 0, folder.c_str(), -1, nullptr, 0, nullptr, &lossy);
    ASSERT_TRUE(lossy) << "the ANSI code page " << ::GetACP() << " holds the test's characters: nothing to prove";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring path = folder + L"\\" + NotesStore::kDefaultFileName;
    Start();
    // As the Settings dialog's switch keeps it.
    Settings::SaveDbPath(path);
    Finish();
    Start();
    EXPECT_EQ(dlg->Parts().notes.DatabasePath(), path);
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(ConfigValue(L"Main", L"WordWrap"), L"0");
    EXPECT_EQ(Lines(dir.File(L"tallyleaf.cfg"))[0], "[Main]");
}

TEST_F(Configuration, TheBalloonShowsOnlyOnTheFirstRunAndOnlyWithTheIcon) {
    TrayRecorder tray;
    Start();
    std::vector<TrayRecorder::Call> balloons = tray.CallsOf(NIM_MODIFY);
    ASSERT_EQ(balloons.size(), 1u);
    const NOTIFYICONDATAW& b = balloons[0].data;
    EXPECT_EQ(b.cbSize, CTrayIcon::kRecordSize);
    EXPECT_EQ(b.hWnd, dlg->m_hWnd);
    EXPECT_EQ(b.uID, 1u);
    EXPECT_EQ(b.uFlags, static_cast<UINT>(NIF_INFO));
    EXPECT_STREQ(b.szInfoTitle, L"Tallyleaf is here!");
    EXPECT_STREQ(b.szInfo,
                 L"Tallyleaf is here! Just click the icon.\nFurther on you can just use a Hot Key (ALT-S by default)");
    EXPECT_EQ(b.uTimeout, 30000u);
    EXPECT_EQ(b.dwInfoFlags, static_cast<DWORD>(NIIF_INFO));
    // The icon it belongs to was added first.
    ASSERT_FALSE(tray.Calls().empty());
    EXPECT_EQ(tray.Calls()[0].message, static_cast<DWORD>(NIM_ADD));
    Finish();
    EXPECT_EQ(ConfigValue(L"Stat", L"Runs"), L"2");

    tray.Clear();
    Start();
    EXPECT_TRUE(tray.CallsOf(NIM_MODIFY).empty());
    EXPECT_EQ(tray.CallsOf(NIM_ADD).size(), 1u);
    Finish();
    EXPECT_EQ(ConfigValue(L"Stat", L"Runs"), L"3");

    // A first run without the icon: nothing to carry the balloon.
    Configure(L"Stat", L"Runs", L"1");
    Configure(L"Main", L"IconInTray", L"0");
    tray.Clear();
    Start();
    EXPECT_TRUE(tray.Calls().empty());
}

TEST_F(Configuration, ADamagedPlaceAndSplitterStillGiveAWholeUsableWindow) {
    Configure(L"Tallyleaf", L"SplitterPos", L"-99999");
    const RECT work = CallUpAtPlace(L"-99999", L"99999", L"99999999", L"-5");
    const RECT r = WindowRect(dlg->m_hWnd);
    EXPECT_TRUE(r.left >= work.left && r.top >= work.top && r.right <= work.right && r.bottom <= work.bottom)
        << r.left << "," << r.top << " " << r.right << "," << r.bottom;
    EXPECT_GE(r.bottom - r.top, ::GetSystemMetrics(SM_CYMINTRACK));
    // The tree and the editor both have room, side by side inside the window.
    RECT tree{};
    RECT editor{};
    ::GetWindowRect(dlg->Parts().tree, &tree);
    ::GetWindowRect(dlg->Parts().editor, &editor);
    EXPECT_GT(tree.right - tree.left, 0);
    EXPECT_GT(editor.right - editor.left, 0);
    EXPECT_GE(tree.left, r.left);
    EXPECT_GT(editor.left, tree.left);
    EXPECT_LE(editor.right, r.right);
}
