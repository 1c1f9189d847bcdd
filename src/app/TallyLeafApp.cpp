#include "app/TallyLeafApp.h"

#include "app/AppConstants.h"
#include "shell/FirstInstance.h"
#include "framework/WindowsVersion.h"
#include "app/TallyLeafDlg.h"
#include "menus/MenuTheme.h"
#include "menus/NewMenuHook.h"

bool CTallyLeafApp::InitInstance() {
    if (CurrentWindowsVersion().major < 5) {
        ::MessageBoxW(nullptr, L"Sorry, Tallyleaf does not work under Windows 98Me.", L"", MB_OK);
        return false;
    }
    CFirstInstance first;
    if (!BecomeFirstInstance(first))
        return false;
    // The menu library lives from before the main window until after it.
    CNewMenuHook menus;
    ConfigureMenus();
    auto* dialog = new CTallyLeafDlg;
    m_pMainWnd = dialog;
    dialog->DoModal();
    m_pMainWnd = nullptr;
    delete dialog;
    return false;
}

bool CTallyLeafApp::BecomeFirstInstance(CFirstInstance& first) {
    // The first instance may be starting still: its window comes soon after it
    // has become first.
    constexpr DWORD kWaitForFirstMs = 20000;
    constexpr DWORD kPollMs = 50;
    const DWORD started = ::GetTickCount();
    for (;;) {
        // A running instance is called up instead; the call returns once it has shown itself.
        if (HWND running = ::FindWindowW(nullptr, kMainWindowTitle)) {
            ::SendMessageW(running, WM_TRAYCALLBACK, 0, WM_LBUTTONDOWN);
            return false;
        }
        if (first.TryClaim(kPollMs))
            return true;
        if (::GetTickCount() - started > kWaitForFirstMs)
            return false;  // a first instance that never shows a window: nothing to call up
    }
}

void CTallyLeafApp::ConfigureMenus() {
    MenuThemes::SelectMenuTheme(2);
    MenuThemes::SetDerivedIconEffects(false);
}
