// The main window from start to end: hidden start, call-up, hiding, closing
// and what the end of the program writes.
#include "app/AppConstants.h"
#include "framework/AppMessageBox.h"
#include "res/resource.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"

using LifeCycle = MainWindowTest;

TEST_F(LifeCycle, StartsHiddenEvenWhenMaximisedWasStored) {
    Configure(L"Tallyleaf", L"MAXIMIZED", L"1");
    Start();
    EXPECT_FALSE(dlg->IsWindowVisible());
    EXPECT_TRUE(::IsZoomed(dlg->m_hWnd));
    EXPECT_EQ(dlg->GetWindowText(), L"Tallyleaf - Work faster.");
}

TEST_F(LifeCycle, StartUsesTheStoredPlacementOrItsDefaults) {
    Start();
    RECT r;
    ::GetWindowRect(dlg->m_hWnd, &r);
    EXPECT_EQ(r.left, 250);
    EXPECT_EQ(r.top, 150);
    EXPECT_EQ(r.right - r.left, 540);
    EXPECT_EQ(r.bottom - r.top, 420);
    Finish();

    Configure(L"Tallyleaf", L"WX", L"40");
    Configure(L"Tallyleaf", L"WY", L"30");
    Configure(L"Tallyleaf", L"WWidth", L"600");
    Configure(L"Tallyleaf", L"WHeight", L"500");
    Start();
    ::GetWindowRect(dlg->m_hWnd, &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right - r.left, 600);
    EXPECT_EQ(r.bottom - r.top, 500);
}

TEST_F(LifeCycle, CallUpShowsTheWindowWithTheEditorFocusedAndLaysItOut) {
    Start();
    dlg->Parts().tray.CallUp();
    PumpPending();
    EXPECT_TRUE(dlg->IsWindowVisible());
    EXPECT_EQ(::GetFocus(), dlg->Parts().editor.m_hWnd);
    EXPECT_EQ(dlg->Parts().tray.CallUps(), 1);

    // Tree and editor sit either side of the splitter position, with 5-pixel margins.
    RECT client, tree, editor;
    ::GetClientRect(dlg->m_hWnd, &client);
    ::GetWindowRect(dlg->Parts().tree, &tree);
    ::GetWindowRect(dlg->Parts().editor, &editor);
    ::MapWindowPoints(nullptr, dlg->m_hWnd, reinterpret_cast<POINT*>(&tree), 2);
    ::MapWindowPoints(nullptr, dlg->m_hWnd, reinterpret_cast<POINT*>(&editor), 2);
    EXPECT_EQ(tree.left, 5);
    EXPECT_EQ(tree.right, 120);
    EXPECT_EQ(editor.left, 125);
    EXPECT_EQ(editor.right, client.right - 5);
    EXPECT_EQ(editor.bottom, client.bottom - 5);
}

TEST_F(LifeCycle, ASecondStartsMessageCallsTheWindowUp) {
    Start();
    // What a second start of the program sends to the running one.
    EXPECT_EQ(::SendMessageW(dlg->m_hWnd, WM_TRAYCALLBACK, 0, WM_LBUTTONDOWN), 0);
    EXPECT_TRUE(dlg->IsWindowVisible());
    dlg->Parts().tray.Hide();
    ::SendMessageW(dlg->m_hWnd, WM_TRAYCALLBACK, 0, WM_MOUSEMOVE);
    ::SendMessageW(dlg->m_hWnd, WM_TRAYCALLBACK, 0, WM_LBUTTONUP);
    EXPECT_FALSE(dlg->IsWindowVisible());
    ::SendMessageW(dlg->m_hWnd, WM_TRAYCALLBACK, 0, WM_RBUTTONDOWN);
    EXPECT_TRUE(dlg->IsWindowVisible());
    EXPECT_EQ(dlg->Parts().tray.CallUps(), 2);
}

TEST_F(LifeCycle, MinimisingHidesAndSaves) {
    Start();
    dlg->Parts().tray.CallUp();
    dlg->Parts().editor.SetSel(0, -1);
    Type(L"typed before minimising");
    dlg->ShowWindow(SW_MINIMIZE);
    PumpPending();
    EXPECT_FALSE(dlg->IsWindowVisible());
    EXPECT_EQ(StoredText(1), L"typed before minimising");
    // Called up again, it comes back restored.
    dlg->Parts().tray.CallUp();
    EXPECT_TRUE(dlg->IsWindowVisible());
    EXPECT_FALSE(::IsIconic(dlg->m_hWnd));
}

TEST_F(LifeCycle, EscHidesTheWindowInsteadOfClosingIt) {
    Start();
    dlg->Parts().tray.CallUp();
    ::PostMessageW(dlg->Parts().editor, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(PumpUntil([&] { return !dlg->IsWindowVisible(); }));
    EXPECT_TRUE(modal.Boxes().empty());
    EXPECT_FALSE(dlg->IsEnded());
}

TEST_F(LifeCycle, ClosingAsksAndNoKeepsTheProgram) {
    Start();
    dlg->Parts().tray.CallUp();
    modal.Answer(IDNO);
    dlg->SendMessage(WM_CLOSE);
    PumpPending();
    ASSERT_EQ(modal.Boxes().size(), 1u);
    const ModalAnswer::Box& box = modal.Boxes()[0];
    EXPECT_EQ(box.text, L"Do you want to close Tallyleaf?");
    EXPECT_EQ(box.caption, AppName());
    EXPECT_EQ(box.icon, ModalAnswer::StockIcon(IDI_EXCLAMATION));
    EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_FALSE(dlg->IsEnded());
    EXPECT_TRUE(::IsWindow(dlg->m_hWnd));
}

TEST_F(LifeCycle, CallingUpAShownWindowKeepsItInFrontAndAltF4StillAsks) {
    Start();
    // A tray click, a second start and the hot key with HideByHotKey off all
    // call up a window that is already in front: it stays there every time.
    for (int i = 0; i < 3; ++i) {
        dlg->SendMessage(WM_TRAYCALLBACK, 0, WM_LBUTTONDOWN);
        PumpFor(150);
        EXPECT_TRUE(dlg->IsWindowVisible()) << "call-up " << i;
        EXPECT_EQ(::GetForegroundWindow(), dlg->m_hWnd) << "call-up " << i;
        EXPECT_EQ(::GetFocus(), dlg->Parts().editor.m_hWnd) << "call-up " << i;
    }
    // Alt+F4 reaches the window as a key and goes through the close question.
    modal.Answer(IDNO);
    ::PostMessageW(dlg->Parts().editor, WM_SYSKEYDOWN, VK_F4, 0x20000001);  // Alt held
    ASSERT_TRUE(PumpUntil([&] { return !modal.Boxes().empty(); }, 3000));
    EXPECT_EQ(modal.Boxes()[0].text, L"Do you want to close Tallyleaf?");
    EXPECT_TRUE(::IsWindow(dlg->m_hWnd));
    EXPECT_FALSE(dlg->IsEnded());
}

TEST_F(LifeCycle, ClosingAnsweredYesEndsAndSaves) {
    Start();
    dlg->Parts().tray.CallUp();
    Type(L"kept ");
    modal.Answer(IDYES);
    dlg->SendMessage(WM_CLOSE);
    PumpPending();
    EXPECT_TRUE(dlg->IsEnded());
    EXPECT_FALSE(::IsWindow(dlg->m_hWnd));
    EXPECT_EQ(StoredText(1), L"kept  This is a place for your quick notes...");
}

TEST_F(LifeCycle, MinimizeOnCloseOnlyHidesButExitStillAsksInLowerCase) {
    Configure(L"Main", L"MinimizeOnClose", L"1");
    Start();
    dlg->Parts().tray.CallUp();
    dlg->SendMessage(WM_CLOSE);
    PumpPending();
    EXPECT_TRUE(modal.Boxes().empty());
    EXPECT_FALSE(dlg->IsWindowVisible());
    EXPECT_FALSE(dlg->IsEnded());

    modal.Answer(IDYES);
    Command(ID_FILE_EXIT);
    PumpPending();
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_EQ(modal.Boxes()[0].text, L"Do you want to close tallyleaf?");
    EXPECT_EQ(modal.Boxes()[0].icon, ModalAnswer::StockIcon(IDI_EXCLAMATION));
    EXPECT_TRUE(dlg->IsEnded());
}

TEST_F(LifeCycle, EnterDoesNothing) {
    Start();
    dlg->Parts().tray.CallUp();
    Command(IDOK);
    PumpPending();
    EXPECT_TRUE(modal.Boxes().empty());
    EXPECT_TRUE(dlg->IsWindowVisible());
    EXPECT_FALSE(dlg->IsEnded());
}

TEST_F(LifeCycle, TheEndWritesCountersAndTheRestoredPlacement) {
    Configure(L"Stat", L"Uses", L"5");
    Configure(L"Tallyleaf", L"SplitterPos", L"150");
    Start();
    ::SetWindowPos(dlg->m_hWnd, nullptr, 60, 70, 610, 480, SWP_NOZORDER);
    dlg->Parts().tray.CallUp();
    dlg->Parts().tray.CallUp();
    dlg->ShowWindow(SW_MAXIMIZE);
    Finish();
    EXPECT_EQ(ConfigValue(L"Stat", L"Runs"), L"2");
    EXPECT_EQ(ConfigValue(L"Stat", L"Uses"), L"7");
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"WX"), L"60");
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"WY"), L"70");
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"WWidth"), L"610");
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"WHeight"), L"480");
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"MAXIMIZED"), L"1");
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"SplitterPos"), L"150");

    // The next run counts on from there.
    Start();
    Finish();
    EXPECT_EQ(ConfigValue(L"Stat", L"Runs"), L"3");
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"MAXIMIZED"), L"1");
}

TEST_F(LifeCycle, TheLogOffQuestionSavesAndLetsWindowsGoOn) {
    Start();
    dlg->Parts().tray.CallUp();
    Type(L"before log-off ");
    EXPECT_NE(dlg->SendMessage(WM_QUERYENDSESSION, 0, 0), 0);
    EXPECT_EQ(StoredText(1).rfind(L"before log-off ", 0), 0u);
    EXPECT_EQ(ConfigValue(L"Stat", L"Runs"), L"2");
}

TEST_F(LifeCycle, ThePlacementDefaultsAreWrittenOnAFirstRun) {
    Start();
    RECT shown;
    ::GetWindowRect(dlg->m_hWnd, &shown);
    Finish();
    EXPECT_EQ(ConfigValue(L"Stat", L"Runs"), L"2");
    EXPECT_EQ(ConfigValue(L"Stat", L"Uses"), L"0");
    // The place the first run showed, which the next run starts from.
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"WX"), std::to_wstring(shown.left));
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"WWidth"), std::to_wstring(shown.right - shown.left));
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"MAXIMIZED"), L"0");
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"SplitterPos"), L"120");
}

TEST_F(LifeCycle, AnInstallersRequestToEndSavesAndEndsWithoutAsking) {
    Start();
    dlg->Parts().tray.CallUp();
    Type(L"before the update ");
    // What the installer does: the window by its title, the message by its name.
    HWND main = ::FindWindowW(nullptr, L"Tallyleaf - Work faster.");
    ASSERT_EQ(main, dlg->m_hWnd);
    const UINT request = ::RegisterWindowMessageW(L"Tallyleaf.CloseForUpdate");
    // Under a box of its own (the window disabled) it refuses and runs on.
    ::EnableWindow(main, FALSE);
    EXPECT_EQ(::SendMessageW(main, request, 0, 0), 0);
    EXPECT_TRUE(::IsWindow(main));
    ::EnableWindow(main, TRUE);
    EXPECT_NE(::SendMessageW(main, request, 0, 0), 0);
    EXPECT_FALSE(::IsWindow(main));
    EXPECT_TRUE(modal.Boxes().empty());
    EXPECT_EQ(StoredText(1).rfind(L"before the update ", 0), 0u);
    EXPECT_EQ(ConfigValue(L"Stat", L"Runs"), L"2");
}
