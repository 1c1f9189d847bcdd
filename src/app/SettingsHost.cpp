#include "app/SettingsHost.h"

#include "dialogs/Options.h"

void SettingsHost::Open() {
    // The note shown goes to the file first: the database commands of the
    // dialog may copy the file or leave it.
    m_notes.SaveShownNote();
    COptions options(*this, m_settings);
    options.DoModal();
}

void SettingsHost::SetMinimizeOnClose(bool on) {
    m_settings.m_bMinimizeOnClose = on;
    m_settings.SaveMinimizeOnClose();
}

void SettingsHost::SwitchDatabase(const std::wstring& path) {
    // Remembered before the file is opened: a file that fails to open is
    // still the one configured for the next start.
    Settings::SaveDbPath(path);
    m_notes.SwitchTo(path);
}
