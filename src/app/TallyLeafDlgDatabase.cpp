// The main window's Settings dialog, and what the dialog asks of the window:
// the tray icon, the hot key, and the database file in use (the notes session's).
#include "app/TallyLeafDlg.h"
#include "dialogs/Options.h"

void CTallyLeafDlg::OnOptions(UINT) {
    // The note shown goes to the file first: the database commands of the
    // dialog may copy the file or leave it.
    m_notes.SaveSelectedNote();
    COptions options(*this, m_settings);
    options.DoModal();
}

void CTallyLeafDlg::ShowTrayIcon(bool shown) {
    if (shown)
        AddTrayIcon(kTrayTipFromSettings);
    else
        RemoveTrayIcon();
}

bool CTallyLeafDlg::ApplyHotKey() {
    UnregisterGlobalHotKey();
    return RegisterGlobalHotKey();
}

void CTallyLeafDlg::SwitchDatabase(const std::wstring& path) {
    // Remembered before the file is opened: a file that fails to open is
    // still the one configured for the next start.
    Settings::SaveDbPath(path);
    m_notes.SwitchTo(path);
}
