// MainCommands: the objects that handle the main window's commands, each with
// the state it owns, and the command table over them (MainCommands.cpp: every
// menu command's handler, enabled and checked rules, key and menu icon in one
// row). The menus take their states from the table as they open, WM_COMMAND
// is routed through it, and the window's keys and menu icons are looked up in it.
#pragma once

#include <windows.h>

#include "app/CommandTable.h"
#include "app/EditCommands.h"
#include "app/FileCommands.h"
#include "app/FindCommands.h"
#include "app/FormatCommands.h"
#include "app/HelpCommands.h"
#include "app/InsertCommands.h"
#include "app/NoteCommands.h"
#include "app/SettingsHost.h"
#include "app/TrayAndHotKey.h"
#include "editor/DragEdit.h"
#include "menus/NewDialog.h"
#include "notes/NotesParts.h"
#include "settings/Settings.h"
#include "tree/MyCTreeCtr.h"

struct MainCommands {
    MainCommands(CNewDialog& window, Settings& settings, MyCTreeCtr& tree, CDragEdit& editor, NotesParts& notesParts,
                 HICON trayIcon);

    using Row = CommandRow<MainCommands>;
    static CommandTable<MainCommands> Table();

    // WM_COMMAND through the table: a command without a sending control runs
    // only while it is enabled. False when no row has the id.
    bool Route(UINT id, HWND control) { return Table().Route(*this, id, control); }
    // Gives each command item of `popup` its enabled state and check mark.
    void ShowStates(HMENU popup);
    // Gives the menu bar the icons the table's rows name.
    static void AttachMenuIcons(CNewMenu& bar);

    EditCommands edit;
    FormatCommands format;
    TrayAndHotKey tray;
    NoteCommands notes;
    FindCommands find;
    InsertCommands insert;
    FileCommands files;
    SettingsHost settingsHost;
    HelpCommands help;
};
