#include "app/TrayAndHotKey.h"

#include "app/AppConstants.h"
#include "app/MayChangeTheTree.h"
#include "framework/AppMessageBox.h"
#include "framework/WindowsVersion.h"
#include "res/resource.h"
#include "settings/UsageCounters.h"

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

const UINT TrayAndHotKey::s_applyAlwaysOnTopMsg = ::RegisterWindowMessageW(L"Tallyleaf.ApplyAlwaysOnTop");

void TrayAndHotKey::Start() {
    if (!RegisterHotKey())
        ReportHotKeyRefused(m_window);  // and the program runs on without a hot key
    // Wine ignores making this window topmost while it is being initialised
    // (its tree control's tooltip is in the way), so that waits for the first
    // message, which comes before anything can show the window.
    if (m_settings.m_bAlwaysOnTop)
        m_window.PostMessage(s_applyAlwaysOnTopMsg);
    if (m_settings.m_bIconInTray)
        m_trayIcon.Add(m_window, m_icon, kTrayTipAtStartUp);
    if (UsageCounters::Runs() == 1 && CurrentWindowsVersion().ntFamily)
        ShowFirstRunBalloon();
}

void TrayAndHotKey::RemoveIcon() {
    if (m_settings.m_bIconInTray)
        m_trayIcon.Remove();
}

void TrayAndHotKey::ShowFirstRunBalloon() {
    // Without the icon there is nothing to carry the balloon.
    if (m_settings.m_bIconInTray)
        m_trayIcon.ShowBalloon(kBalloonTitle, WithLineBreaks(kBalloonText), kBalloonTimeoutMs);
}

bool TrayAndHotKey::RegisterHotKey() {
    if (m_settings.m_wHotKeyVk == 0)
        return true;
    return ::RegisterHotKey(m_window, HOTKEY_ID, m_settings.m_wHotKeyMods, m_settings.m_wHotKeyVk) != FALSE;
}

void TrayAndHotKey::UnregisterHotKey() {
    ::UnregisterHotKey(m_window, HOTKEY_ID);
}

void TrayAndHotKey::ReportHotKeyRefused(HWND owner) {
    AppMessageBox(L"Error registering Hot Key combination for Tallyleaf. Please, select another combination.",
                  L"Tallyleaf error", MB_OK | MB_ICONERROR, owner);
}

void TrayAndHotKey::CallUp() {
    ++m_callUps;
    m_showAllowed = true;
    // What other copies changed while the window was away shows at once.
    m_notes.OnWindowShown();
    if (MayChangeTheTree(m_window))
        m_notes.CheckForChanges();
    // A window hidden by minimising comes back restored, not as an icon. A window
    // that is shown already is not hidden first: hiding the active window hands
    // the activation to another window (under Wine's X11 driver the desktop),
    // whose focus change can arrive after this call-up and take the window's
    // place in front.
    if (::IsIconic(m_window)) {
        m_window.ShowWindow(SW_HIDE);
        m_window.ShowWindow(SW_RESTORE);
    } else if (!m_window.IsWindowVisible()) {
        m_window.ShowWindow(SW_SHOW);
    }
    m_window.SendMessage(WM_SYSCOMMAND, SC_HOTKEY, reinterpret_cast<LPARAM>(m_window.m_hWnd));
    ::SetForegroundWindow(m_window);
    // A menu left open (or the menu bar in keyboard mode) would keep taking
    // the keys meant for the editor.
    ::EndMenu();
    m_editor.SetFocus();
}

void TrayAndHotKey::Hide() {
    m_window.ShowWindow(SW_HIDE);
    m_notes.OnWindowHidden();
    m_notes.SaveShownNote();
    // A quiet moment: the program runs in the tray for weeks.
    m_backups.BackUpIfDue();
}

void TrayAndHotKey::Exit() {
    if (AppMessageBox(L"Do you want to close tallyleaf?", nullptr, MB_YESNO | MB_ICONEXCLAMATION, m_window) == IDYES)
        m_window.EndDialog(IDOK);
}

void TrayAndHotKey::OnTrayCallback(LPARAM mouseMessage) {
    // A press of either button on the icon; a second start sends the left one.
    if (mouseMessage == WM_LBUTTONDOWN || mouseMessage == WM_RBUTTONDOWN)
        CallUp();
}

void TrayAndHotKey::OnTaskbarCreated() {
    // The shell restarted and forgot every icon.
    if (m_settings.m_bIconInTray)
        m_trayIcon.Restore();
}

void TrayAndHotKey::OnHotKey() {
    if (m_settings.m_bHideByHotKey && ::GetForegroundWindow() == m_window.m_hWnd && m_window.IsWindowVisible()) {
        Hide();
    } else {
        CallUp();
        m_hotKeyAltHeld = (::GetKeyState(VK_MENU) & 0x8000) != 0;
    }
}

void TrayAndHotKey::OnActivate(WPARAM state) {
    if (!m_settings.m_bHideOnFocusLost)
        return;
    if (LOWORD(state) == WA_INACTIVE) {
        // Judged by the window the system reports in front at this moment:
        // only the main window itself counts as keeping the focus.
        if (::GetForegroundWindow() != m_window.m_hWnd) {
            if (m_settings.m_nHideDelay > 0)
                m_window.SetTimer(TIMER_HIDE_DELAY, static_cast<UINT>(m_settings.m_nHideDelay) * 1000);
            else
                Hide();
        }
    } else if (m_settings.m_nHideDelay > 0) {
        m_window.KillTimer(TIMER_HIDE_DELAY);
    }
}

void TrayAndHotKey::OnQueryEndSession() {
    UnregisterHotKey();
    m_shutDown = true;
}

void TrayAndHotKey::OnEndSession(bool ending) {
    // The end of the session was cancelled: the program runs on, so it needs
    // its hot key and its tray icon back.
    if (!ending && m_shutDown) {
        m_shutDown = false;
        // Silent if refused: a box here would hold up the system's broadcast.
        RegisterHotKey();
        if (m_settings.m_bIconInTray)
            m_trayIcon.Restore();
    }
}

void TrayAndHotKey::ApplyAlwaysOnTop() {
    ::SetWindowPos(m_window, m_settings.m_bAlwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TrayAndHotKey::ToggleAlwaysOnTop() {
    m_settings.m_bAlwaysOnTop = !m_settings.m_bAlwaysOnTop;
    ApplyAlwaysOnTop();
    // The menu bar's item follows at once, not only when the menu next opens.
    ::CheckMenuItem(::GetMenu(m_window), ID_FILE_ALWAYS_ON_TOP,
                    MF_BYCOMMAND | (m_settings.m_bAlwaysOnTop ? MF_CHECKED : MF_UNCHECKED));
    m_settings.SaveAlwaysOnTop();
}

bool TrayAndHotKey::DropsAltRelease(const MSG& msg) {
    // The release of the Alt held with the hot key would put the menu bar into
    // keyboard mode: every key typed after the call-up would go to the menus.
    // That one release is dropped; a key in between, or a new press of Alt,
    // makes it an ordinary one again.
    if (!m_hotKeyAltHeld)
        return false;
    const bool alt = msg.wParam == VK_MENU;
    switch (msg.message) {
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (!alt)
                return false;
            m_hotKeyAltHeld = false;
            return true;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            const bool repeat = (msg.lParam & (1 << 30)) != 0;
            if (!alt || !repeat)
                m_hotKeyAltHeld = false;
            return false;
        }
        default:
            return false;
    }
}

void TrayAndHotKey::ShowTrayIcon(bool shown) {
    if (shown)
        m_trayIcon.Add(m_window, m_icon, kTrayTipFromSettings);
    else
        m_trayIcon.Remove();
    m_settings.m_bIconInTray = shown;
    m_settings.SaveIconInTray();
}

bool TrayAndHotKey::ApplyHotKey(WORD modifiers, WORD vk) {
    const WORD previousModifiers = m_settings.m_wHotKeyMods;
    const WORD previousVk = m_settings.m_wHotKeyVk;
    m_settings.m_wHotKeyMods = modifiers;
    m_settings.m_wHotKeyVk = vk;
    UnregisterHotKey();
    if (RegisterHotKey()) {
        m_settings.SaveHotKey();
        return true;
    }
    m_settings.m_wHotKeyMods = previousModifiers;
    m_settings.m_wHotKeyVk = previousVk;
    RegisterHotKey();
    return false;
}
