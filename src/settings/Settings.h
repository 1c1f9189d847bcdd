// The program's settings as the configuration file keeps them. Each key is named
// once (Settings.cpp) with its section, its form and its default; Load reads
// them all, and each writer writes its keys at once, when a change takes effect.
#pragma once

#include <windows.h>

#include <string>

struct Settings {
    // Section "Main". DBPath, the database file in use, is not kept here: the
    // notes session owns it (LoadDbPath reads it, SaveDbPath writes it).
    WORD m_wHotKeyMods;  // HotKeyVK: the hot key's modifiers as RegisterHotKey takes them
    WORD m_wHotKeyVk;    // HotKey: its virtual key; 0 means no hot key
    bool m_bIconInTray;
    bool m_bMinimizeOnClose;
    bool m_bHideByHotKey;
    bool m_bHideOnFocusLost;
    int m_nHideDelay;  // HideOnFocusLostDelay, in seconds; 0 or less hides at once
    bool m_bAlwaysOnTop;
    bool m_bWordWrap;
    // Section "Tallyleaf": the window's restored rectangle, the splitter, font and colours.
    RECT m_rcWindow;  // from WX, WY, WWidth, WHeight
    bool m_bMaximized;
    int m_nSplitterPos;
    LOGFONTW m_font;  // Fontdlg
    COLORREF m_crBack;
    COLORREF m_crText;

    // Every setting at its default.
    Settings();
    // The configuration file's values, with the default for each one missing.
    static Settings Load();

    // DBPath, with the default file in the data folder for an empty or missing
    // value (an empty path would open a database that vanishes at exit).
    static std::wstring LoadDbPath();

    void SaveAlwaysOnTop() const;
    // The Format menu's settings, each written when the user changes it.
    void SaveWordWrap() const;
    void SaveFont() const;
    void SaveTextColor() const;
    void SaveBackColor() const;
    // The Settings dialog's writers: each writes its keys when its change takes effect.
    void SaveHotKey() const;
    void SaveIconInTray() const;
    void SaveMinimizeOnClose() const;
    // DBPath: written only when the user switches to another database file;
    // in portable mode a file inside the program folder is kept relative to it.
    static void SaveDbPath(const std::wstring& path);
    // The window's restored rectangle, whether it is maximised, and the
    // splitter, in the order the end of the program writes them.
    void SavePlacement() const;
};
