#include "dialogs/Options.h"

#include <commdlg.h>

#include "shell/RunAtStartup.h"
#include "settings/AppFolders.h"
#include "settings/Settings.h"
#include "dialogs/SettingsDialogHost.h"
#include "framework/AppMessageBox.h"
#include "framework/FileDialog.h"
#include "framework/SameFile.h"
#include "res/resource.h"

namespace {
constexpr const wchar_t* kDatabaseFilter = L"Tallyleaf databases|*.db|";
constexpr const wchar_t* kPortableRunTip =
    L"Portable mode: Tallyleaf starts from its own folder and does not change Windows' startup list.";

// The hot-key control codes Shift as 1 and Alt as 4, the registration the other
// way round (MOD_ALT 1, MOD_SHIFT 4); Ctrl is 2 in both. The exchange works
// both ways.
WORD ExchangeShiftAndAlt(WORD modifiers) {
    return static_cast<WORD>((modifiers & 2) | ((modifiers & 1) ? 4 : 0) | ((modifiers & 4) ? 1 : 0));
}

// Keys the control marks as extended (HOTKEYF_EXT): without the mark it would
// name them as their twins on the numeric keypad.
bool IsExtendedKey(WORD vk) {
    switch (vk) {
        case VK_PRIOR:
        case VK_NEXT:
        case VK_END:
        case VK_HOME:
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_INSERT:
        case VK_DELETE:
        case VK_DIVIDE:
        case VK_NUMLOCK:
        case VK_SNAPSHOT:
        case VK_CANCEL:
        case VK_LWIN:
        case VK_RWIN:
        case VK_APPS:
            return true;
        default:
            return false;
    }
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace

// clang-format off
DEFINE_MESSAGE_TABLE(COptions, CDialog,
    OnCommand(IDC_BUTTON_SWITCH_DB, &COptions::OnSwitchDatabase),
    OnCommand(IDC_BUTTON_COPY_DB, &COptions::OnCopyAndSwitch))
// clang-format on

COptions::COptions(SettingsDialogHost& host, const Settings& inForce)
    : CDialog(IDD_OPTIONS, host.Window()), m_host(host), m_settings(inForce) {}

void COptions::DoDataExchange(CDataExchange& dx) {
    DDX_Control(dx, IDC_HOTKEY, m_ctlHotKey);
    DDX_Check(dx, IDC_CHECK_ICON_IN_TRAY, m_nIconInTray);
    DDX_Check(dx, IDC_CHECK_MINIMIZE_ON_CLOSE, m_nMinimizeOnClose);
    DDX_Check(dx, IDC_CHECK_RUN_ON_STARTUP, m_nRunOnStartup);
    DDX_Text(dx, IDC_EDIT_DB_PATH, m_strDatabasePath);
}

BOOL COptions::OnInitDialog() {
    CDialog::OnInitDialog();
    const WORD vk = LOBYTE(m_settings.m_wHotKeyVk);
    WORD modifiers = ExchangeShiftAndAlt(m_settings.m_wHotKeyMods);
    if (IsExtendedKey(vk))
        modifiers |= HOTKEYF_EXT;
    m_ctlHotKey.SetHotKey(vk, modifiers);

    m_nIconInTray = m_settings.m_bIconInTray ? 1 : 0;
    m_nMinimizeOnClose = m_settings.m_bMinimizeOnClose ? 1 : 0;
    m_bRunOnStartupAtOpen = RunAtStartup::IsSet();
    m_nRunOnStartup = m_bRunOnStartupAtOpen ? 1 : 0;
    m_strDatabasePath = m_host.DatabasePath();
    UpdateData(false);
    ShowLastBackup();
    if (AppFolders::Portable())
        DisableRunOnStartupForPortableMode();
    return TRUE;
}

void COptions::DisableRunOnStartupForPortableMode() {
    HWND check = ::GetDlgItem(m_hWnd, IDC_CHECK_RUN_ON_STARTUP);
    ::EnableWindow(check, FALSE);
    RECT place{};
    ::GetWindowRect(check, &place);
    ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&place), 2);
    if (m_runTip.Create(m_hWnd))
        m_runTip.AddTool(m_hWnd, IDC_CHECK_RUN_ON_STARTUP, place, kPortableRunTip);
}

bool COptions::PreTranslateMessage(MSG* msg) {
    if (msg->hwnd == m_hWnd && msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST)
        m_runTip.RelayEvent(msg);
    return CDialog::PreTranslateMessage(msg);
}

void COptions::OnOK() {
    UpdateData(true);
    if (!ApplyHotKey())
        return;  // the dialog stays open with the user's entry
    ApplyIconInTray();
    ApplyMinimizeOnClose();
    ApplyRunOnStartup();
    EndDialog(IDOK);
}

bool COptions::ApplyHotKey() {
    WORD vk = 0;
    WORD controlModifiers = 0;
    m_ctlHotKey.GetHotKey(vk, controlModifiers);
    // The extended-key mark is the control's own: the key code names the key.
    const WORD modifiers = ExchangeShiftAndAlt(controlModifiers & (HOTKEYF_SHIFT | HOTKEYF_CONTROL | HOTKEYF_ALT));
    if (modifiers == m_settings.m_wHotKeyMods && vk == m_settings.m_wHotKeyVk)
        return true;

    if (!m_host.ApplyHotKey(modifiers, vk)) {
        // The previous combination was working: it stays in force until the
        // user picks one the system accepts.
        m_host.ReportHotKeyRefused(m_hWnd);
        return false;
    }
    m_settings.m_wHotKeyMods = modifiers;
    m_settings.m_wHotKeyVk = vk;
    return true;
}

void COptions::ApplyIconInTray() {
    const bool wanted = m_nIconInTray != 0;
    if (wanted == m_settings.m_bIconInTray)
        return;
    m_host.ShowTrayIcon(wanted);
    m_settings.m_bIconInTray = wanted;
}

void COptions::ApplyMinimizeOnClose() {
    const bool wanted = m_nMinimizeOnClose != 0;
    if (wanted == m_settings.m_bMinimizeOnClose)
        return;
    m_host.SetMinimizeOnClose(wanted);
    m_settings.m_bMinimizeOnClose = wanted;
}

void COptions::ApplyRunOnStartup() {
    const bool wanted = m_nRunOnStartup != 0;
    if (wanted == m_bRunOnStartupAtOpen || AppFolders::Portable())
        return;
    if (wanted)
        RunAtStartup::Set();
    else
        RunAtStartup::Clear();
}

std::wstring COptions::ChooseDatabase(bool open) {
    // A new name is accepted by both: switching to it starts a new store.
    DWORD flags = OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!open)
        flags |= OFN_OVERWRITEPROMPT;
    // The shell's list of recent documents lives in the application data folder.
    if (AppFolders::Portable())
        flags |= OFN_DONTADDTORECENT;
    CFileDialog dialog(open, L"db", m_strDatabasePath, flags, kDatabaseFilter, m_hWnd);
    return dialog.DoModal() == IDOK ? dialog.GetPathName() : std::wstring();
}

void COptions::SwitchTo(const std::wstring& path) {
    m_strDatabasePath = path;
    m_host.SwitchDatabase(path);
    UpdateData(false);
    ShowLastBackup();
}

void COptions::ShowLastBackup() {
    const std::wstring at = m_host.LastBackupTime();
    ::SetDlgItemTextW(m_hWnd, IDC_STATIC_LAST_BACKUP, (L"Last backup: " + (at.empty() ? L"none yet" : at)).c_str());
}

void COptions::OnSwitchDatabase(UINT) {
    UpdateData(true);
    const std::wstring path = ChooseDatabase(true);
    if (path.empty())
        return;
    const bool existed = IsFile(path);
    m_host.BackUpBeforeLeavingDatabase(path);
    // A file picked from the folder must not become a new, empty store in its
    // place when it went away meanwhile: the user would take it for the old notes.
    if (existed && !IsFile(path)) {
        AppMessageBox(L"Tallyleaf error: The database file is no longer there:\n" + path +
                          L"\n\nTallyleaf goes on with\n" + m_strDatabasePath,
                      nullptr, MB_OK | MB_ICONERROR, m_hWnd);
        return;
    }
    SwitchTo(path);
}

void COptions::OnCopyAndSwitch(UINT) {
    UpdateData(true);
    const std::wstring target = ChooseDatabase(false);
    // The file in use copied onto itself: there is nothing to do.
    if (target.empty() || IsSameFile(target, m_strDatabasePath))
        return;
    m_host.BackUpBeforeLeavingDatabase(target);
    const std::wstring failure = m_host.CopyDatabaseTo(target);
    if (!failure.empty()) {
        // The program goes on with the file it had, as if nothing was tried.
        AppMessageBox(L"Tallyleaf error: Can't copy the database.\n - " + failure, nullptr, MB_OK | MB_ICONERROR,
                      m_hWnd);
        return;
    }
    SwitchTo(target);
}
