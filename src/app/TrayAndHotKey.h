// The main window's ways in and out: calling it up and hiding it, the tray
// icon and its balloon, the global hot key, hiding when the focus goes
// elsewhere, always on top, Hide and Exit, and the hot key and tray icon
// across the end of a session the system asked for and then cancelled.
#pragma once

#include <string>

#include "editor/DragEdit.h"
#include "menus/NewDialog.h"
#include "notes/DailyBackups.h"
#include "notes/NotesSession.h"
#include "settings/Settings.h"
#include "shell/TrayIcon.h"

class TrayAndHotKey {
public:
    // Posted at start-up to make the window topmost once it is initialised.
    static const UINT s_applyAlwaysOnTopMsg;

    TrayAndHotKey(CNewDialog& window, Settings& settings, CDragEdit& editor, NotesSession& notes, DailyBackups& backups,
                  HICON icon)
        : m_window(window), m_settings(settings), m_editor(editor), m_notes(notes), m_backups(backups), m_icon(icon) {}

    // The settings' hot key, always on top and the tray icon (with the first
    // run's balloon), as the window starts.
    void Start();
    // The window is going: no tray icon and no hot key remain.
    void RemoveIcon();
    void UnregisterHotKey();

    void CallUp();
    void Hide();
    int CallUps() const { return m_callUps; }
    // Until the first call-up the window stays hidden, whatever asks to show it.
    bool ShowAllowed() const { return m_showAllowed; }

    void OnTrayCallback(LPARAM mouseMessage);
    void OnTaskbarCreated();
    void OnHotKey();
    void OnActivate(WPARAM state);
    void OnQueryEndSession();
    void OnEndSession(bool ending);
    // Makes the window topmost or not, as the settings say, without moving it.
    void ApplyAlwaysOnTop();
    // Under Wine the hot key's own key never reaches the window, so the Alt
    // pressed with it looks like an Alt pressed alone: true when `msg` is the
    // release of that Alt, which must not open the menu bar.
    bool DropsAltRelease(const MSG& msg);

    // The commands.
    void ToggleAlwaysOnTop();
    bool AlwaysOnTopIsOn() const { return m_settings.m_bAlwaysOnTop; }
    void Exit();

    // What the Settings dialog puts into force: each is kept in the settings
    // and written to the configuration file.
    void ShowTrayIcon(bool shown);
    // False, with the previous hot key in force again, when the system refused it.
    bool ApplyHotKey(WORD modifiers, WORD vk);
    void ReportHotKeyRefused(HWND owner);

private:
    // The settings' hot key (none when the key is 0); false when the system
    // refused the combination.
    bool RegisterHotKey();
    void ShowFirstRunBalloon();

    CNewDialog& m_window;
    Settings& m_settings;
    CDragEdit& m_editor;
    NotesSession& m_notes;
    DailyBackups& m_backups;
    HICON m_icon;
    CTrayIcon m_trayIcon;
    int m_callUps = 0;
    bool m_showAllowed = false;
    // The hot key called the window up while Alt was held (see DropsAltRelease).
    bool m_hotKeyAltHeld = false;
    // Set while the system asks to end the session: the shutdown steps have run.
    bool m_shutDown = false;
};
