// What the Settings dialog needs of the program it sets up: the tray icon, the
// hot key of the settings put into force, and the database file in use with
// the steps of switching to another one or to a copy. The main window gives
// these, forwarding the database steps to its notes session.
#pragma once

#include <windows.h>

#include <string>

class SettingsDialogHost {
public:
    virtual ~SettingsDialogHost() = default;

    // The window that owns the dialog.
    virtual HWND Window() const = 0;
    // Each of these puts a setting into force, keeps it in the settings in
    // force and writes it to the configuration file.
    virtual void ShowTrayIcon(bool shown) = 0;
    virtual void SetMinimizeOnClose(bool on) = 0;
    // Puts the hot key `modifiers` + `vk` into force in place of the one
    // registered; false, with the previous one in force again, when the
    // system refused the combination.
    virtual bool ApplyHotKey(WORD modifiers, WORD vk) = 0;
    // Tells the user the hot key was refused, in a box owned by `owner`.
    virtual void ReportHotKeyRefused(HWND owner) = 0;

    virtual std::wstring DatabasePath() const = 0;
    // Makes `path` the database file in use (a new name starts a new store)
    // and remembers it for the next start.
    virtual void SwitchDatabase(const std::wstring& path) = 0;
    // Makes the day's verified backup of the file in use at once, before it is
    // left for `next` (which the thinning of old copies leaves alone).
    virtual void BackUpBeforeLeavingDatabase(const std::wstring& next) = 0;
    // Copies the file in use to `target` (replacing it) as the backups do;
    // the reason when it failed, else empty.
    virtual std::wstring CopyDatabaseTo(const std::wstring& target) = 0;
    // When the newest backup of the file in use was made ("2026-12-08 14:02");
    // empty when there is none.
    virtual std::wstring LastBackupTime() const = 0;
};
