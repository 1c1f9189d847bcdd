// The main window's ways in and out: the tray icon and its balloon, the global
// hot key, hiding when the focus goes elsewhere, and always on top.
#include "app/AppConstants.h"
#include "app/TallyLeafDlg.h"
#include "framework/AppMessageBox.h"
#include "res/resource.h"

namespace {
constexpr const wchar_t* kBalloonTitle = L"Tallyleaf is here!";
// "||" marks the line break.
constexpr const wchar_t* kBalloonText =
    L"Tallyleaf is here! Just click the icon.||Further on you can just use a Hot Key (ALT-S by default)";
constexpr UINT kBalloonTimeoutMs = 30000;

std::wstring WithLineBreaks(std::wstring text) {
    for (size_t pos = text.find(L"||"); pos != std::wstring::npos; pos = text.find(L"||", pos + 1))
        text.replace(pos, 2, L"\n");
    return text;
}
}  // namespace

const UINT CTallyLeafDlg::s_nApplyAlwaysOnTopMsg = ::RegisterWindowMessageW(L"Tallyleaf.ApplyAlwaysOnTop");

void CTallyLeafDlg::AddTrayIcon(const wchar_t* tip) {
    m_trayIcon.Add(m_hWnd, m_hSmallIcon, tip);
}

void CTallyLeafDlg::RemoveTrayIcon() {
    m_trayIcon.Remove();
}

void CTallyLeafDlg::ShowFirstRunBalloon() {
    // Without the icon there is nothing to carry the balloon.
    if (m_settings.m_bIconInTray)
        m_trayIcon.ShowBalloon(kBalloonTitle, WithLineBreaks(kBalloonText), kBalloonTimeoutMs);
}

bool CTallyLeafDlg::RegisterGlobalHotKey() {
    if (m_settings.m_wHotKeyVk == 0)
        return true;
    return ::RegisterHotKey(m_hWnd, HOTKEY_ID, m_settings.m_wHotKeyMods, m_settings.m_wHotKeyVk) != FALSE;
}

void CTallyLeafDlg::UnregisterGlobalHotKey() {
    ::UnregisterHotKey(m_hWnd, HOTKEY_ID);
}

void CTallyLeafDlg::ReportHotKeyRefused(HWND owner) {
    AppMessageBox(L"Error registering Hot Key combination for Tallyleaf. Please, select another combination.",
                  L"Tallyleaf error", MB_OK | MB_ICONERROR, owner);
}

void CTallyLeafDlg::ApplyAlwaysOnTop() {
    ::SetWindowPos(m_hWnd, m_settings.m_bAlwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

LRESULT CTallyLeafDlg::OnApplyAlwaysOnTop(WPARAM, LPARAM) {
    ApplyAlwaysOnTop();
    return 0;
}

LRESULT CTallyLeafDlg::OnTrayCallback(WPARAM, LPARAM l) {
    // A press of either button on the icon; a second start sends the left one.
    if (l == WM_LBUTTONDOWN || l == WM_RBUTTONDOWN)
        CallUpWindow();
    return 0;
}

LRESULT CTallyLeafDlg::OnTaskbarCreated(WPARAM, LPARAM) {
    // The shell restarted and forgot every icon.
    if (m_settings.m_bIconInTray)
        m_trayIcon.Restore();
    return 0;
}

LRESULT CTallyLeafDlg::OnHotKey(WPARAM, LPARAM) {
    if (m_settings.m_bHideByHotKey && ::GetForegroundWindow() == m_hWnd && IsWindowVisible()) {
        HideWindow();
    } else {
        CallUpWindow();
        m_bHotKeyAltHeld = (::GetKeyState(VK_MENU) & 0x8000) != 0;
    }
    return 1;
}

LRESULT CTallyLeafDlg::OnActivate(WPARAM w, LPARAM) {
    LRESULT result = Default();
    if (!m_settings.m_bHideOnFocusLost)
        return result;
    if (LOWORD(w) == WA_INACTIVE) {
        // Judged by the window the system reports in front at this moment:
        // only the main window itself counts as keeping the focus.
        if (::GetForegroundWindow() != m_hWnd) {
            if (m_settings.m_nHideDelay > 0)
                SetTimer(TIMER_HIDE_DELAY, static_cast<UINT>(m_settings.m_nHideDelay) * 1000);
            else
                HideWindow();
        }
    } else if (m_settings.m_nHideDelay > 0) {
        KillTimer(TIMER_HIDE_DELAY);
    }
    return result;
}

void CTallyLeafDlg::OnAlwaysOnTop(UINT) {
    m_settings.m_bAlwaysOnTop = !m_settings.m_bAlwaysOnTop;
    ApplyAlwaysOnTop();
    // The menu bar's item follows at once, not only when the menu next opens.
    ShowCommandState(::GetMenu(m_hWnd), ID_FILE_ALWAYS_ON_TOP, MF_BYCOMMAND);
    m_settings.SaveAlwaysOnTop();
}
