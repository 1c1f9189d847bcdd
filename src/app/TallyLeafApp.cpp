#include "app/TallyLeafApp.h"

#include "app/AppConstants.h"
#include "app/TallyLeafDlg.h"
#include "chrome/MenuTheme.h"
#include "chrome/NewMenuHook.h"

namespace {
// The system's real major version (the compatibility layer may report an older one).
DWORD MajorVersion() {
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info));
    return info.dwMajorVersion;
}
}  // namespace

bool CTallyLeafApp::InitInstance() {
    if (MajorVersion() < 5) {
        ::MessageBoxW(nullptr, L"Sorry, Tallyleaf does not work under Windows 98Me.", L"", MB_OK);
        return false;
    }
    // A running instance is called up instead; the call returns once it has shown itself.
    if (HWND running = ::FindWindowW(nullptr, kMainWindowTitle)) {
        ::SendMessageW(running, WM_TRAYCALLBACK, 0, WM_LBUTTONDOWN);
        return false;
    }
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

void CTallyLeafApp::ConfigureMenus() {
    MenuThemes::SelectMenuTheme(2);
    MenuThemes::SetDerivedIconEffects(false);
}
