// File > Settings: the Settings dialog, and what it asks of the program (its
// SettingsDialogHost): the tray icon and the hot key (TrayAndHotKey's), and the
// database file in use (the notes session's).
#pragma once

#include <string>

#include "app/TrayAndHotKey.h"
#include "dialogs/SettingsDialogHost.h"
#include "framework/Wnd.h"
#include "notes/NotesSession.h"
#include "settings/Settings.h"

class SettingsHost : public SettingsDialogHost {
public:
    SettingsHost(CWnd& window, Settings& settings, NotesSession& notes, TrayAndHotKey& tray)
        : m_window(window), m_settings(settings), m_notes(notes), m_tray(tray) {}

    // Opens the Settings dialog.
    void Open();

    HWND Window() const override { return m_window; }
    void ShowTrayIcon(bool shown) override { m_tray.ShowTrayIcon(shown); }
    void SetMinimizeOnClose(bool on) override;
    bool ApplyHotKey(WORD modifiers, WORD vk) override { return m_tray.ApplyHotKey(modifiers, vk); }
    void ReportHotKeyRefused(HWND owner) override { m_tray.ReportHotKeyRefused(owner); }
    std::wstring DatabasePath() const override { return m_notes.DatabasePath(); }
    void SwitchDatabase(const std::wstring& path) override;
    void BackUpBeforeLeavingDatabase(const std::wstring& next) override { m_notes.BackUpBeforeLeavingDatabase(next); }
    std::wstring CopyDatabaseTo(const std::wstring& target) override { return m_notes.CopyDatabaseTo(target); }
    std::wstring LastBackupTime() const override { return m_notes.LastBackupTime(); }

private:
    CWnd& m_window;
    Settings& m_settings;
    NotesSession& m_notes;
    TrayAndHotKey& m_tray;
};
