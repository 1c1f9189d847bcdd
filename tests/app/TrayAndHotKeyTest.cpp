// Summoning and dismissing: the tray icon and its callback, the global hot key,
// and what a cancelled end of the session gives back.
#include "app/AppConstants.h"
#include "res/resource.h"
#include "support/KeyPresses.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"
#include "support/ShellProbes.h"

namespace {
constexpr LPARAM kAltS = MAKELPARAM(MOD_ALT, 'S');

const std::wstring kHotKeyRefused =
    L"Error registering Hot Key combination for Tallyleaf. Please, select another combination.";

void ExpectIconAdded(const TrayRecorder::Call& call, HWND owner) {
    EXPECT_EQ(call.message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(call.data.cbSize, CTrayIcon::kRecordSize);
    EXPECT_EQ(call.data.hWnd, owner);
    EXPECT_EQ(call.data.uID, 1u);
    EXPECT_EQ(call.data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(call.data.uCallbackMessage, 3004u);
    EXPECT_NE(call.data.hIcon, nullptr);
    EXPECT_STREQ(call.data.szTip, L"Tallyleaf.  Work faster.");
}
}  // namespace

using TrayIcon = MainWindowTest;

TEST_F(TrayIcon, IsAddedAtStartAndRemovedAtTheEnd) {
    TrayRecorder tray;
    Start();
    const HWND owner = dlg->m_hWnd;
    ASSERT_EQ(tray.CallsOf(NIM_ADD).size(), 1u);
    ExpectIconAdded(tray.CallsOf(NIM_ADD)[0], owner);
    EXPECT_TRUE(tray.CallsOf(NIM_ADD)[0].result);  // the shell took it
    EXPECT_TRUE(tray.CallsOf(NIM_DELETE).empty());

    Finish();
    ASSERT_EQ(tray.CallsOf(NIM_DELETE).size(), 1u);
    const TrayRecorder::Call& removed = tray.Calls().back();
    EXPECT_EQ(removed.message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(removed.data.cbSize, CTrayIcon::kRecordSize);
    EXPECT_EQ(removed.data.hWnd, owner);
    EXPECT_EQ(removed.data.uID, 1u);
    EXPECT_EQ(removed.data.uFlags, 0u);
    EXPECT_TRUE(removed.result);
}

TEST_F(TrayIcon, OnlyAPressOfEitherButtonCallsTheWindowUp) {
    Start();
    for (UINT mouse : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_MBUTTONDOWN,
                       WM_MBUTTONUP, WM_CONTEXTMENU}) {
        EXPECT_EQ(dlg->SendMessage(WM_TRAYCALLBACK, 0, mouse), 0) << "mouse message " << mouse;
        PumpPending();
        EXPECT_FALSE(dlg->IsWindowVisible()) << "mouse message " << mouse;
    }
    EXPECT_TRUE(modal.Boxes().empty());  // and no menu or box of any kind

    EXPECT_EQ(dlg->SendMessage(WM_TRAYCALLBACK, 0, WM_LBUTTONDOWN), 0);
    EXPECT_TRUE(dlg->IsWindowVisible());
    EXPECT_EQ(::GetFocus(), dlg->Parts().editor.m_hWnd);
    dlg->Parts().tray.Hide();
    EXPECT_EQ(dlg->SendMessage(WM_TRAYCALLBACK, 0, WM_RBUTTONDOWN), 0);
    EXPECT_TRUE(dlg->IsWindowVisible());
    EXPECT_EQ(::GetFocus(), dlg->Parts().editor.m_hWnd);
    EXPECT_EQ(dlg->Parts().tray.CallUps(), 2);
}

TEST_F(TrayIcon, SwitchedOffNothingIsAddedOrRemoved) {
    Configure(L"Main", L"IconInTray", L"0");
    TrayRecorder tray;
    Start();
    dlg->Parts().tray.CallUp();
    dlg->Parts().tray.Hide();
    Finish();
    EXPECT_TRUE(tray.Calls().empty());
}

TEST_F(TrayIcon, ComesBackWhenTheShellRestarts) {
    const UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    TrayRecorder tray;
    Start();
    // The restarted shell has forgotten the icon.
    NOTIFYICONDATAW gone{};
    gone.cbSize = sizeof gone;
    gone.hWnd = dlg->m_hWnd;
    gone.uID = 1;
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &gone));
    tray.Clear();

    ::SendMessageW(dlg->m_hWnd, taskbarCreated, 0, 0);
    ASSERT_EQ(tray.Calls().size(), 1u);
    ExpectIconAdded(tray.Calls()[0], dlg->m_hWnd);
    EXPECT_TRUE(tray.Calls()[0].result);
    Finish();

    Configure(L"Main", L"IconInTray", L"0");
    Start();
    tray.Clear();
    ::SendMessageW(dlg->m_hWnd, taskbarCreated, 0, 0);
    EXPECT_TRUE(tray.Calls().empty());
}

using HotKey = MainWindowTest;

TEST_F(HotKey, CallsUpTheHiddenWindowWithTheEditorFocused) {
    Start();
    ASSERT_FALSE(dlg->IsWindowVisible());
    dlg->PostMessage(WM_HOTKEY, HOTKEY_ID, kAltS);
    ASSERT_TRUE(PumpUntil([&] { return dlg->IsWindowVisible(); }));
    EXPECT_EQ(::GetForegroundWindow(), dlg->m_hWnd);
    EXPECT_EQ(::GetFocus(), dlg->Parts().editor.m_hWnd);
    EXPECT_EQ(dlg->Parts().tray.CallUps(), 1);
    EXPECT_EQ(dlg->SendMessage(WM_HOTKEY, HOTKEY_ID, kAltS), 1);
}

TEST_F(HotKey, InFrontItHidesAndSavesThenCallsUpAgain) {
    Start();
    dlg->Parts().tray.CallUp();
    ASSERT_EQ(::GetForegroundWindow(), dlg->m_hWnd);
    dlg->Parts().editor.SetSel(0, -1);
    Type(L"hidden by the hot key");
    dlg->PostMessage(WM_HOTKEY, HOTKEY_ID, kAltS);
    ASSERT_TRUE(PumpUntil([&] { return !dlg->IsWindowVisible(); }));
    EXPECT_EQ(StoredText(1), L"hidden by the hot key");

    dlg->PostMessage(WM_HOTKEY, HOTKEY_ID, kAltS);
    ASSERT_TRUE(PumpUntil([&] { return dlg->IsWindowVisible(); }));
    EXPECT_EQ(::GetFocus(), dlg->Parts().editor.m_hWnd);
    EXPECT_EQ(dlg->Parts().tray.CallUps(), 2);
}

TEST_F(HotKey, BehindAnotherWindowItBringsTheWindowToTheFront) {
    Start();
    dlg->Parts().tray.CallUp();
    OtherThreadWindow other;
    ASSERT_TRUE(other.Activate());
    dlg->PostMessage(WM_HOTKEY, HOTKEY_ID, kAltS);
    ASSERT_TRUE(PumpUntil([&] { return ::GetForegroundWindow() == dlg->m_hWnd; }));
    EXPECT_TRUE(dlg->IsWindowVisible());
    EXPECT_EQ(::GetFocus(), dlg->Parts().editor.m_hWnd);
    EXPECT_EQ(dlg->Parts().tray.CallUps(), 2);
}

TEST_F(HotKey, WithHideByHotKeyOffItOnlyEverCallsUp) {
    Configure(L"Main", L"HideByHotKey", L"0");
    Start();
    dlg->Parts().tray.CallUp();
    ASSERT_EQ(::GetForegroundWindow(), dlg->m_hWnd);
    for (int press = 0; press < 2; ++press) {
        EXPECT_EQ(dlg->SendMessage(WM_HOTKEY, HOTKEY_ID, kAltS), 1);
        // Checked as the key leaves it: without a window manager, Wine hands the
        // foreground to its desktop a moment after a window was unmapped and mapped.
        EXPECT_TRUE(dlg->IsWindowVisible());
        EXPECT_EQ(::GetForegroundWindow(), dlg->m_hWnd);
        EXPECT_EQ(::GetFocus(), dlg->Parts().editor.m_hWnd);
    }
    EXPECT_EQ(dlg->Parts().tray.CallUps(), 3);
}

namespace {
// Ends a menu that the program left open, so that a failing test does not hang in the menu's loop.
bool g_menuLeftOpen = false;
void CALLBACK EndMenuLeftOpen(HWND, UINT, UINT_PTR, DWORD) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (::GetGUIThreadInfo(::GetCurrentThreadId(), &info) && (info.flags & GUI_INMENUMODE)) {
        g_menuLeftOpen = true;
        ::EndMenu();
    }
}
}  // namespace

TEST_F(HotKey, WithHideByHotKeyOffTheKeysTypedAfterItReachTheEditor) {
    Configure(L"Main", L"HideByHotKey", L"0");
    Start();
    dlg->Parts().tray.CallUp();
    ASSERT_EQ(::GetForegroundWindow(), dlg->m_hWnd);
    dlg->Parts().editor.SetWindowText(L"");
    g_menuLeftOpen = false;
    const UINT_PTR safety = ::SetTimer(nullptr, 0, 3000, &EndMenuLeftOpen);

    // The real keys, as the X display delivers them: Alt+S, both released, then
    // a letter. The release of Alt must not put the menu bar into keyboard mode.
    ASSERT_TRUE(XdoTool(L"key alt+s type x"));
    EXPECT_TRUE(PumpUntil([&] { return EditorText() == L"x"; }));
    EXPECT_EQ(dlg->Parts().tray.CallUps(), 2);

    // A call-up also ends a menu the user left open: the next key is the editor's again.
    dlg->PostMessage(WM_SYSCOMMAND, SC_KEYMENU, 0);
    dlg->PostMessage(WM_TRAYCALLBACK, 0, WM_LBUTTONDOWN);
    PumpPending();
    ASSERT_TRUE(XdoTool(L"type y"));
    EXPECT_TRUE(PumpUntil([&] { return EditorText() == L"xy"; }));
    ::KillTimer(nullptr, safety);
    EXPECT_FALSE(g_menuLeftOpen);
}

TEST_F(HotKey, ARefusedCombinationIsReportedAndTheStartGoesOn) {
    TrayRecorder tray;
    {
        // Another program holds Alt+S already.
        HotKeyHolder holder(MOD_ALT, 'S');
        ASSERT_TRUE(holder.Held());
        Start();
    }

    ASSERT_EQ(modal.Boxes().size(), 1u);
    const ModalAnswer::Box& box = modal.Boxes()[0];
    EXPECT_EQ(box.text, kHotKeyRefused);
    EXPECT_EQ(box.caption, L"Tallyleaf error");
    EXPECT_EQ(box.icon, ModalAnswer::StockIcon(IDI_ERROR));
    EXPECT_EQ(box.buttons, (std::vector<int>{IDOK}));

    // The rest of the start happened: the notes, the tray icon, the call-up.
    EXPECT_GT(dlg->Parts().tree.GetCount(), 0u);
    EXPECT_EQ(tray.CallsOf(NIM_ADD).size(), 1u);
    EXPECT_FALSE(dlg->IsWindowVisible());
    dlg->SendMessage(WM_TRAYCALLBACK, 0, WM_LBUTTONDOWN);
    EXPECT_TRUE(dlg->IsWindowVisible());
}

TEST_F(HotKey, KeyZeroRegistersNothing) {
    Configure(L"Main", L"HotKey", L"0");
    Start();
    EXPECT_TRUE(modal.Boxes().empty());
    EXPECT_FALSE(HotKeyIsTaken(MOD_ALT, 'S'));
    EXPECT_FALSE(::UnregisterHotKey(dlg->m_hWnd, HOTKEY_ID));  // nothing under its identifier
}

TEST_F(HotKey, IsHeldWhileTheProgramRunsAndFreedAtTheEnd) {
    Start();
    EXPECT_TRUE(HotKeyIsTaken(MOD_ALT, 'S'));
    Finish();
    EXPECT_FALSE(HotKeyIsTaken(MOD_ALT, 'S'));
}

using EndOfSession = MainWindowTest;

TEST_F(EndOfSession, ACancelledEndGivesBackTheHotKeyAndTheIcon) {
    TrayRecorder tray;
    Start();
    dlg->SendMessage(WM_QUERYENDSESSION, 0, 0);
    EXPECT_FALSE(HotKeyIsTaken(MOD_ALT, 'S'));
    ASSERT_FALSE(tray.Calls().empty());
    EXPECT_EQ(tray.Calls().back().message, static_cast<DWORD>(NIM_DELETE));

    tray.Clear();
    dlg->SendMessage(WM_ENDSESSION, FALSE, 0);
    EXPECT_TRUE(HotKeyIsTaken(MOD_ALT, 'S'));
    ASSERT_EQ(tray.Calls().size(), 1u);
    ExpectIconAdded(tray.Calls()[0], dlg->m_hWnd);
    EXPECT_TRUE(tray.Calls()[0].result);
    EXPECT_TRUE(modal.Boxes().empty());
}

TEST_F(EndOfSession, AnEndThatGoesAheadGivesNothingBack) {
    TrayRecorder tray;
    Start();
    dlg->SendMessage(WM_QUERYENDSESSION, 0, 0);
    tray.Clear();
    dlg->SendMessage(WM_ENDSESSION, TRUE, 0);
    EXPECT_FALSE(HotKeyIsTaken(MOD_ALT, 'S'));
    EXPECT_TRUE(tray.Calls().empty());
}
