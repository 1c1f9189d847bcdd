// Hiding when another window takes the focus, and keeping the window on top.
#include "res/resource.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"
#include "support/ShellProbes.h"
#include "support/Stopwatch.h"

#include <algorithm>

using FocusLoss = MainWindowTest;

TEST_F(FocusLoss, AnotherWindowInFrontHidesAndSavesAfterTheDelay) {
    Configure(L"Main", L"HideOnFocusLost", L"1");
    Configure(L"Main", L"HideOnFocusLostDelay", L"1");
    Start();
    dlg->Parts().tray.CallUp();
    dlg->Parts().editor.SetSel(0, -1);
    Type(L"left for another window");
    OtherThreadWindow other;
    const DWORD start = ::GetTickCount();
    ASSERT_TRUE(other.Activate());
    EXPECT_TRUE(dlg->IsWindowVisible());  // not yet

    ASSERT_TRUE(PumpUntil([&] { return !dlg->IsWindowVisible(); }, 10000));
    EXPECT_GE(::GetTickCount() - start, 900u);
    EXPECT_EQ(StoredText(1), L"left for another window");
}

TEST_F(FocusLoss, ComingBackWithinTheDelayKeepsTheWindow) {
    Configure(L"Main", L"HideOnFocusLost", L"1");
    Configure(L"Main", L"HideOnFocusLostDelay", L"1");
    Start();
    dlg->Parts().tray.CallUp();
    OtherThreadWindow other;
    ASSERT_TRUE(other.Activate());
    ASSERT_TRUE(PumpUntil([&] { return ::GetActiveWindow() != dlg->m_hWnd; }));  // the delay runs
    const Stopwatch away;
    ::SetForegroundWindow(dlg->m_hWnd);
    ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == dlg->m_hWnd; }));
    // Nothing shows that the hide was called off: wait out its second, and a margin.
    PumpFor(static_cast<DWORD>(std::max(0.0, 1250 - away.ElapsedMs())));
    EXPECT_TRUE(dlg->IsWindowVisible());
}

TEST_F(FocusLoss, WithoutADelayItHidesAtOnce) {
    Configure(L"Main", L"HideOnFocusLost", L"1");
    for (const wchar_t* delay : {L"0", L"-2"}) {
        Configure(L"Main", L"HideOnFocusLostDelay", delay);
        Start();
        dlg->Parts().tray.CallUp();
        dlg->Parts().editor.SetSel(0, -1);
        Type(std::wstring(L"delay ") + delay);
        OtherThreadWindow other;
        ASSERT_TRUE(other.Activate());
        EXPECT_FALSE(dlg->IsWindowVisible()) << "delay " << delay;
        EXPECT_EQ(StoredText(1), std::wstring(L"delay ") + delay);
        Finish();
    }
}

TEST_F(FocusLoss, SwitchedOffNothingHappens) {
    Configure(L"Main", L"HideOnFocusLost", L"0");
    Start();
    dlg->Parts().tray.CallUp();
    OtherThreadWindow other;
    ASSERT_TRUE(other.Activate());
    // Switched on without a delay, the window would hide as it takes the focus loss in.
    ASSERT_TRUE(PumpUntil([&] { return ::GetActiveWindow() != dlg->m_hWnd; }));
    EXPECT_TRUE(dlg->IsWindowVisible());
}

namespace {
bool IsTopmost(HWND hwnd) {
    return (::GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

// Whether the File menu shows the check mark when it opens.
bool CheckedWhenTheMenuOpens(CTallyLeafDlg& dlg) {
    HMENU file = ::GetSubMenu(::GetMenu(dlg.m_hWnd), 0);
    dlg.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(file), MAKELPARAM(0, FALSE));
    return (::GetMenuState(file, ID_FILE_ALWAYS_ON_TOP, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

bool CheckedNow(CTallyLeafDlg& dlg) {
    return (::GetMenuState(::GetMenu(dlg.m_hWnd), ID_FILE_ALWAYS_ON_TOP, MF_BYCOMMAND) & MF_CHECKED) != 0;
}
}  // namespace

using AlwaysOnTop = MainWindowTest;

TEST_F(AlwaysOnTop, TheStoredSwitchMakesTheWindowTopmostWhereItIs) {
    Configure(L"Main", L"AlwaysOnTop", L"1");
    Start();
    EXPECT_TRUE(IsTopmost(dlg->m_hWnd));
    RECT r;
    ::GetWindowRect(dlg->m_hWnd, &r);
    EXPECT_EQ(r.left, 250);
    EXPECT_EQ(r.top, 150);
    EXPECT_EQ(r.right - r.left, 540);
    EXPECT_FALSE(dlg->IsWindowVisible());
    EXPECT_TRUE(CheckedWhenTheMenuOpens(*dlg));
}

TEST_F(AlwaysOnTop, TheCommandTogglesTheWindowTheCheckMarkAndTheStoredSwitch) {
    Start();
    dlg->Parts().tray.CallUp();
    ::SetWindowPos(dlg->m_hWnd, nullptr, 80, 90, 500, 400, SWP_NOZORDER);
    EXPECT_FALSE(CheckedWhenTheMenuOpens(*dlg));

    Command(ID_FILE_ALWAYS_ON_TOP);
    EXPECT_TRUE(IsTopmost(dlg->m_hWnd));
    EXPECT_TRUE(CheckedNow(*dlg));
    EXPECT_TRUE(CheckedWhenTheMenuOpens(*dlg));
    EXPECT_EQ(ConfigValue(L"Main", L"AlwaysOnTop"), L"1");

    Command(ID_FILE_ALWAYS_ON_TOP);
    EXPECT_FALSE(IsTopmost(dlg->m_hWnd));
    EXPECT_FALSE(CheckedNow(*dlg));
    EXPECT_FALSE(CheckedWhenTheMenuOpens(*dlg));
    EXPECT_EQ(ConfigValue(L"Main", L"AlwaysOnTop"), L"0");

    RECT r;
    ::GetWindowRect(dlg->m_hWnd, &r);
    EXPECT_EQ(r.left, 80);
    EXPECT_EQ(r.top, 90);
    EXPECT_EQ(r.right - r.left, 500);
    EXPECT_EQ(r.bottom - r.top, 400);
    EXPECT_TRUE(dlg->IsWindowVisible());
}
