#include "app/MainWindowKeys.h"

#include "res/resource.h"

namespace {
bool IsHeld(int vk) {
    return (::GetKeyState(vk) & 0x8000) != 0;
}
}  // namespace

bool MainWindowKeys::Take(MSG& msg) {
    if (m_commands.tray.DropsAltRelease(msg))
        return true;
    if (msg.message == WM_KEYDOWN && OnControlKey(msg))
        return true;
    if (msg.message == WM_SYSKEYDOWN && OnSystemKey(msg))
        return true;
    return msg.message == WM_KEYDOWN && OnPlainKey(msg);
}

bool MainWindowKeys::OnControlKey(const MSG& msg) {
    // AltGr reaches programs as Ctrl+Alt, and on many keyboards it types
    // letters with these keys (AltGr+A, S, O give ą, ś, ó in Polish): those
    // stay letters.
    if (!IsHeld(VK_CONTROL) || IsHeld(VK_MENU))
        return false;
    if (msg.wParam == 'A') {
        m_commands.edit.SelectAll();
        return true;
    }
    // A Ctrl+Shift key of its own comes first; without one, Shift changes nothing.
    if (IsHeld(VK_SHIFT) && OnCommandKey(msg, CommandKey::kCtrl | CommandKey::kShift))
        return true;
    // Ctrl+Z, X, C, V and the rest are the editor's own keys.
    return OnCommandKey(msg, CommandKey::kCtrl);
}

bool MainWindowKeys::OnSystemKey(MSG& msg) {
    if (OnCommandKey(msg, CommandKey::kAlt))
        return true;
    const WPARAM key = msg.wParam;
    if (key >= '0' && key <= '9') {
        // Alt+1 inserts the first snippet, Alt+9 the ninth, Alt+0 the tenth.
        SendCommand(key == '0' ? ID_INSERT_FIRST + 9 : ID_INSERT_FIRST + static_cast<UINT>(key - '1'));
        return true;
    }
    if (key == VK_PRIOR || key == VK_NEXT || (key >= VK_LEFT && key <= VK_DOWN)) {
        // Alt with the arrows and the page keys walks the tree, wherever the
        // focus is: the key goes on to the tree as a plain key.
        msg.hwnd = m_tree;
        msg.message = WM_KEYDOWN;
        msg.lParam &= ~static_cast<LPARAM>(KF_ALTDOWN << 16);
    }
    return false;
}

bool MainWindowKeys::OnPlainKey(const MSG& msg) {
    // Held with Shift or Ctrl, these keys do what they do alone.
    if (OnCommandKey(msg, CommandKey::kPlain))
        return true;
    switch (msg.wParam) {
        case VK_TAB:
            // Only ever between the tree and the editor.
            if (msg.hwnd == m_editor.m_hWnd)
                m_tree.SetFocus();
            else if (msg.hwnd == m_tree.m_hWnd)
                m_editor.SetFocus();
            return true;
        case VK_F11:
            m_window.ShowWindow(::IsZoomed(m_window) ? SW_RESTORE : SW_MAXIMIZE);
            return true;
        default:
            return false;
    }
}

bool MainWindowKeys::OnCommandKey(const MSG& msg, unsigned modifiers) {
    const UINT control = ::GetParent(msg.hwnd) == m_window.m_hWnd ? static_cast<UINT>(::GetDlgCtrlID(msg.hwnd)) : 0;
    const MainCommands::Row* row = MainCommands::Table().FindKey(static_cast<UINT>(msg.wParam), modifiers, control);
    if (!row)
        return false;
    if (row->key.flags & CommandKey::kEvenWhileDisabled)
        row->run(m_commands, row->id);
    else
        SendCommand(row->id);
    return true;
}

void MainWindowKeys::SendCommand(UINT id) {
    m_window.SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
}
