#include "framework/AppMessageBox.h"

#include "framework/ModulePath.h"

#include "framework/WinApp.h"
#include "framework/Wnd.h"

const std::wstring& AppName() {
    static const std::wstring name = [] {
        std::wstring path = ModulePath();
        std::wstring file = path.substr(path.find_last_of(L"\\/") + 1);
        return file.substr(0, file.find_last_of(L'.'));
    }();
    return name;
}

int AppMessageBox(const std::wstring& text, const wchar_t* caption, UINT type, HWND owner) {
    if (!owner) {
        if (CWinApp* app = CWinApp::Current(); app && app->m_pMainWnd)
            owner = app->m_pMainWnd->m_hWnd;
    }
    return ::MessageBoxW(owner, text.c_str(), caption ? caption : AppName().c_str(), type);
}
