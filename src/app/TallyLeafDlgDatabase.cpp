// The main window's Settings dialog, and what the dialog asks of the window:
// the tray icon, the hot key, and the database file in use (the notes session's).
#include "app/TallyLeafDlg.h"
#include "dialogs/Options.h"

void CTallyLeafDlg::OnOptions(UINT) {
    // The note shown goes to the file first: the database commands of the
    // dialog may copy the file or leave it.
    m_notes.SaveShownNote();
    COptions options(*this, m_settings);
    options.DoModal();
}

void CTallyLeafDlg::ShowTrayIcon(bool shown) {
    if (shown)
        AddTrayIcon(kTrayTipFromSettings);
    else
        RemoveTrayIcon();
    m_settings.m_bIconInTray = shown;
    m_settings.SaveIconInTray();
}

void CTallyLeafDlg::SetMinimizeOnClose(bool on) {
    m_settings.m_bMinimizeOnClose = on;
    m_settings.SaveMinimizeOnClose();
}

bool CTallyLeafDlg::ApplyHotKey(WORD modifiers, WORD vk) {
    const WORD previousModifiers = m_settings.m_wHotKeyMods;
    const WORD previousVk = m_settings.m_wHotKeyVk;
    m_settings.m_wHotKeyMods = modifiers;
    m_settings.m_wHotKeyVk = vk;
    UnregisterGlobalHotKey();
    if (RegisterGlobalHotKey()) {
        m_settings.SaveHotKey();
        return true;
    }
    m_settings.m_wHotKeyMods = previousModifiers;
    m_settings.m_wHotKeyVk = previousVk;
    RegisterGlobalHotKey();
    return false;
}

void CTallyLeafDlg::SwitchDatabase(const std::wstring& path) {
    // Remembered before the file is opened: a file that fails to open is
    // still the one configured for the next start.
    Settings::SaveDbPath(path);
    m_notes.SwitchTo(path);
}
