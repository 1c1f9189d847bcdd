// File > Settings: the Settings dialog, and what it asks of the program (its
// SettingsDialogHost): the tray icon and the hot key (TrayAndHotKey's), and the
// database file in use (the notes session's) with its backups (DailyBackups').
#pragma once

#include <string>

#include "app/TrayAndHotKey.h"
#include "dialogs/SettingsDialogHost.h"
#include "framework/Wnd.h"
#include "notes/NotesParts.h"
#include "settings/Settings.h"

class SettingsHost : public SettingsDialogHost {
public:
    SettingsHost(CWnd& window, Settings& settings, NotesParts& notes, TrayAndHotKey& tray)
        : m_window(window), m_settings(settings), m_notes(notes.session), m_backups(notes.backups), m_tray(tray) {}

    // Opens the Settings dialog.
    void Open();

    HWND Window() const override { return m_window; }
    void ShowTrayIcon(bool shown) override { m_tray.ShowTrayIcon(shown); }
    void SetMinimizeOnClose(bool on) override;
    bool ApplyHotKey(WORD modifiers, WORD vk) override { return m_tray.ApplyHotKey(modifiers, vk); }
    void ReportHotKeyRefused(HWND owner) override { m_tray.ReportHotKeyRefused(owner); }
    std::wstring DatabasePath() const override { return m_notes.DatabasePath(); }
    void SwitchDatabase(const std::wstring& path) override;
    void BackUpBeforeLeavingDatabase(const std::wstring& next) override { m_backups.BackUpBeforeLeaving(next); }
    std::wstring CopyDatabaseTo(const std::wstring& target) override { return m_backups.CopyDatabaseTo(target); }
    std::wstring LastBackupTime() const override { return m_backups.LastBackupTime(); }

private:
    CWnd& m_window;
    Settings& m_settings;
    NotesSession& m_notes;
    DailyBackups& m_backups;
    TrayAndHotKey& m_tray;
};
