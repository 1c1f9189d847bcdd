// The keys the main window takes before its controls see them. There is no
// accelerator table: the key names in the menu texts are the command table's
// keys, served here, or the editor control's own (Ctrl+Z, Ctrl+X, Ctrl+C and
// Ctrl+V). The keys of no command (Ctrl+A, Tab, F11, Alt+digits and Alt with
// the arrows) are served here too.
#pragma once

#include <windows.h>

#include "app/MainCommands.h"
#include "editor/DragEdit.h"
#include "framework/Wnd.h"
#include "tree/MyCTreeCtr.h"

class MainWindowKeys {
public:
    MainWindowKeys(CWnd& window, MyCTreeCtr& tree, CDragEdit& editor, MainCommands& commands)
        : m_window(window), m_tree(tree), m_editor(editor), m_commands(commands) {}

    // True when the key message `msg` (to the window or one of its children)
    // was taken; a key that goes on may have been turned into another one.
    bool Take(MSG& msg);

private:
    // Each returns true when it took the key.
    bool OnControlKey(const MSG& msg);
    bool OnSystemKey(MSG& msg);
    bool OnPlainKey(const MSG& msg);
    // The table's key held with `modifiers` sends its command.
    bool OnCommandKey(const MSG& msg, unsigned modifiers);
    // Sends a command as the menu does: it runs only while enabled.
    void SendCommand(UINT id);

    CWnd& m_window;
    MyCTreeCtr& m_tree;
    CDragEdit& m_editor;
    MainCommands& m_commands;
};
